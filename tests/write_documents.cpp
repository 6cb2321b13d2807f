// Writes every test document, compact and indented, one file each, into the
// folder named on the command line, for check_json.py to read.

#include "documents.hpp"

#include <fstream>
#include <iomanip>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: write_documents FOLDER\n";
        return 2;
    }
    for (const auto& document : documents::all())
    {
        for (const int width : {0, 1, 4})
        {
            const std::string path = std::string(argv[1]) + "/" + document.name + ".w" + std::to_string(width) + ".json";
            std::ofstream file(path, std::ios::binary);
            file << std::setw(width) << document.value;
            if (!file)
            {
                std::cerr << "cannot write " << path << '\n';
                return 1;
            }
        }
    }
}
