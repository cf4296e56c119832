#include "host/program.hpp"

namespace korvale {

int korvaleEntry(platform::Module module) {
    // Static storage: the records are destroyed after the entry point
    // returns, which runs the end-of-program actions.
    static std::optional<ProgramState> state;
    return korvaleMain(state, module, AssetImage::embedded());
}

}  // namespace korvale
