// Writes random byte strings, rich in UTF-8 lead and continuation bytes, each
// through the three UTF-8 policies, for check_utf8.py to compare with Python's
// own UTF-8 decoder. One line a string, fields separated by tabs:
// the bytes in hex; the text with replace and escape_non_ascii; the text with
// keep, in hex; the index error 316 names, or -1.

#include <quarrow/json.hpp>

#include <cstdio>
#include <random>
#include <string>

namespace
{

std::string hex(const std::string& bytes)
{
    std::string result;
    char pair[3];
    for (const char c : bytes)
    {
        std::snprintf(pair, sizeof pair, "%02x", static_cast<unsigned char>(c));
        result += pair;
    }
    return result;
}

} // namespace

int main()
{
    // Bytes from every class that decides validity: ASCII (the quotation
    // mark, a control byte), continuation bytes at the edges of the narrowed
    // ranges, every kind of lead byte, and bytes that start nothing.
    const unsigned char pool[] = {'a',  '"',  0x01, 0x7F, 0x80, 0x8F, 0x90, 0x9F, 0xA0, 0xBF, 0xC0, 0xC1,
                                  0xC2, 0xDF, 0xE0, 0xE1, 0xED, 0xEE, 0xEF, 0xF0, 0xF1, 0xF4, 0xF5, 0xFF};
    std::mt19937 random(316);
    std::uniform_int_distribution<std::size_t> length(0, 12);
    std::uniform_int_distribution<std::size_t> pick(0, sizeof pool - 1);

    quarrow::dump_options replace;
    replace.invalid_utf8 = quarrow::utf8_policy::replace;
    replace.escape_non_ascii = true;
    quarrow::dump_options error;
    error.invalid_utf8 = quarrow::utf8_policy::error;

    for (int i = 0; i < 50000; ++i)
    {
        std::string bytes;
        for (std::size_t n = length(random); n != 0; --n)
        {
            bytes += static_cast<char>(pool[pick(random)]);
        }
        const quarrow::json value = bytes;
        long index = -1;
        try
        {
            value.dump(error);
        }
        catch (const quarrow::json::type_error& e)
        {
            const std::string what = e.what();
            index = std::stol(what.substr(what.find("index ") + 6));
        }
        std::printf("%s\t%s\t%s\t%ld\n", hex(bytes).c_str(), value.dump(replace).c_str(), hex(value.dump()).c_str(),
                    index);
    }
}
