// The number tokens of a JSON text, for the checks and benchmarks that run
// over every number of the corpora.

#ifndef QUARROW_BENCH_NUMBER_TOKENS_HPP
#define QUARROW_BENCH_NUMBER_TOKENS_HPP

#include <algorithm>
#include <cstddef>
#include <string>
#include <vector>

/// The number tokens of a JSON text, found outside its strings.
inline std::vector<std::string> number_tokens(const std::string& text)
{
    std::vector<std::string> tokens;
    bool in_string = false;
    for (std::size_t i = 0; i < text.size(); ++i)
    {
        const char c = text[i];
        if (in_string)
        {
            if (c == '\\')
            {
                ++i; // an escaped byte never ends the string
            }
            else if (c == '"')
            {
                in_string = false;
            }
        }
        else if (c == '"')
        {
            in_string = true;
        }
        else if (c == '-' || (c >= '0' && c <= '9'))
        {
            const std::size_t end = std::min(text.find_first_not_of("+-.0123456789eE", i), text.size());
            tokens.push_back(text.substr(i, end - i));
            i = end - 1;
        }
    }
    return tokens;
}

#endif
