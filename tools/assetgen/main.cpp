// korvale-assetgen --output FILE: writes the content image.
#include <cstdio>
#include <fstream>
#include <iostream>
#include <string>

#include "content.hpp"

int main(int argc, char** argv) {
    std::string output;
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--output" && i + 1 < argc) {
            output = argv[++i];
        } else {
            std::cerr << "usage: korvale-assetgen --output FILE\n";
            return 2;
        }
    }
    if (output.empty()) {
        std::cerr << "usage: korvale-assetgen --output FILE\n";
        return 2;
    }
    try {
        const auto image = korvale::gen::buildContentImage();
        const std::string temporary = output + ".partial";
        {
            std::ofstream file(temporary, std::ios::binary | std::ios::trunc);
            const auto bytes = image.content();
            file.write(reinterpret_cast<const char*>(bytes.data()), static_cast<std::streamsize>(bytes.size()));
            if (!file) {
                std::cerr << "korvale-assetgen: cannot write " << temporary << "\n";
                return 1;
            }
        }
        if (std::rename(temporary.c_str(), output.c_str()) != 0) {
            std::cerr << "korvale-assetgen: cannot rename " << temporary << " to " << output << "\n";
            return 1;
        }
    } catch (const korvale::FatalError& error) {
        std::cerr << "korvale-assetgen: " << error.message() << "\n";
        return 1;
    }
    return 0;
}
