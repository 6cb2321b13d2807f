// A stream buffer that keeps no buffer of its own, so every put and every
// write of an ostream reaches it as one call, which it records.

#ifndef QUARROW_TESTS_RECORDING_STREAMBUF_HPP
#define QUARROW_TESTS_RECORDING_STREAMBUF_HPP

#include <streambuf>
#include <string>
#include <vector>

class recording_streambuf : public std::streambuf
{
  public:
    /// One entry a call: "put:" and the character, or "write:" and the text.
    std::vector<std::string> calls;

    std::string text() const
    {
        std::string result;
        for (const auto& call : calls)
        {
            result += call.substr(call.find(':') + 1);
        }
        return result;
    }

  protected:
    int_type overflow(int_type c) override
    {
        calls.push_back("put:" + std::string(1, traits_type::to_char_type(c)));
        return c;
    }

    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        calls.push_back("write:" + std::string(s, static_cast<std::size_t>(n)));
        return n;
    }
};

#endif
