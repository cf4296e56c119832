// korvale-icongen --output FILE: writes the Windows program's icon file.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "common/fatal_error.hpp"
#include "icon.hpp"

int main(int argc, char** argv) {
    if (argc != 3 || std::string(argv[1]) != "--output") {
        std::cerr << "usage: korvale-icongen --output FILE\n";
        return 2;
    }
    const std::string output = argv[2];
    try {
        const auto bytes = korvale::gen::buildIconFile();
        const std::string temporary = output + ".partial";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!file) {
                std::cerr << "korvale-icongen: cannot write " << temporary << "\n";
                return 1;
            }
        }
        if (std::rename(temporary.c_str(), output.c_str()) != 0) {
            std::cerr << "korvale-icongen: cannot rename " << temporary << " to " << output << "\n";
            return 1;
        }
    } catch (const korvale::FatalError& error) {
        std::cerr << "korvale-icongen: " << error.what() << "\n";
        return 1;
    }
    return 0;
}
