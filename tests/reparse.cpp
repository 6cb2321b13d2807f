// Reads the JSON file named on the command line with quarrow and writes the
// value back, compact, to standard output, for check_parsed.py to compare.

#include <quarrow/json.hpp>

#include <fstream>
#include <iostream>

int main(int argc, char** argv)
{
    if (argc != 2)
    {
        std::cerr << "usage: reparse FILE\n";
        return 2;
    }
    std::ifstream file(argv[1], std::ios::binary);
    std::cout << quarrow::json::parse(file);
    return std::cout ? 0 : 1;
}
