// JSON Pointer, RFC 6901: a path of reference tokens naming a value inside a value.

#ifndef QUARROW_JSON_POINTER_HPP
#define QUARROW_JSON_POINTER_HPP

namespace quarrow
{
namespace detail
{

/// What a reference token names in an array.
enum class array_token : std::uint8_t
{
    index,    // "0", or digits with no leading zero
    past_end, // "-", the place after the last element
    not_index
};

/// Reads a reference token as an array index. An index too large for
/// size_t is read as the largest size_t, which no array reaches. Never throws.
template<typename StringType>
array_token read_array_index(const StringType& token, std::size_t& index) noexcept
{
    if (token.size() == 1 and token[0] == '-')
    {
        return array_token::past_end;
    }
    if (token.empty() or (token[0] == '0' and token.size() > 1))
    {
        return array_token::not_index;
    }
    index = 0;
    for (const char c : token)
    {
        if (c < '0' or c > '9')
        {
            return array_token::not_index;
        }
        const auto digit = static_cast<std::size_t>(c - '0');
        const std::size_t most = std::numeric_limits<std::size_t>::max();
        index = index > (most - digit) / 10 ? most : index * 10 + digit;
    }
    return array_token::index;
}

/// Throws parse_error `what` for pointer text of `length` bytes that goes
/// wrong at `byte`; a pointer is one line, so the column is byte + 1.
[[noreturn]] inline void throw_pointer_syntax_error(const error what, const char* text, const std::size_t length,
                                                    const std::size_t byte)
{
    parse_failure failure;
    failure.found_end = byte == length;
    if (not failure.found_end)
    {
        failure.found[0] = text[byte];
        failure.found_length = 1;
    }
    throw_exception<parse_error>(entry_of(what).id, byte, std::size_t{1}, byte + 1,
                                 error_text(what, {"1", std::to_string(byte + 1), found_text(failure)}));
}

/// Reads pointer text into its reference tokens, unescaped. Returns false
/// for text that is not a pointer, with the byte where it goes wrong and
/// the error it is. Throws std::bad_alloc.
template<typename StringType>
bool read_pointer(const char* text, const std::size_t length, std::vector<StringType>& tokens, std::size_t& byte,
                  error& what)
{
    if (length != 0 and text[0] != '/')
    {
        byte = 0;
        what = error::pointer_without_slash;
        return false;
    }
    std::size_t i = 0;
    while (i < length)
    {
        ++i; // the '/'
        StringType token;
        for (; i < length and text[i] != '/'; ++i)
        {
            if (text[i] != '~')
            {
                token += text[i];
                continue;
            }
            ++i;
            if (i == length or (text[i] != '0' and text[i] != '1'))
            {
                byte = i;
                what = error::pointer_bad_escape;
                return false;
            }
            token += text[i] == '0' ? '~' : '/';
        }
        tokens.push_back(std::move(token));
    }
    return true;
}

} // namespace detail

/// A path to a value inside a value: the reference tokens from the
/// outermost value in, kept unescaped so that following them allocates nothing.
template<typename StringType>
class basic_json_pointer
{
  public:
    using string_t = StringType;
    /// The reference tokens, unescaped, from the outermost in.
    using const_iterator = typename std::vector<string_t>::const_iterator;

    /// The pointer to the whole value. Never throws.
    basic_json_pointer() = default;

    /// The pointer this text spells: empty for the whole value, or else
    /// reference tokens each after a '/', in which "~0" stands for '~' and
    /// "~1" for '/'. Throws parse_error 106 for text that does not start
    /// with '/', 107 for a '~' followed by anything else, both at the byte
    /// where the text goes wrong (line 1, column byte + 1), and std::bad_alloc.
    explicit basic_json_pointer(const string_t& text)
    {
        read(text.data(), text.size());
    }

    /// The same, for the text up to the NUL. Throws other_error 501 for a
    /// null pointer, and what the string_t form throws.
    explicit basic_json_pointer(const char* text)
    {
        if (text == nullptr)
        {
            detail::throw_null_text();
        }
        read(text, std::strlen(text));
    }

#if __cplusplus >= 201703L
    /// The same, for a view of the text. Throws what the string_t form throws.
    explicit basic_json_pointer(std::string_view text)
    {
        read(text.data(), text.size());
    }
#endif

    /// The pointer's text, each token escaped again. Throws std::bad_alloc.
    string_t to_string() const
    {
        string_t text;
        for (const string_t& token : m_tokens)
        {
            detail::append_reference_token(text, token);
        }
        return text;
    }

    /// Writes to_string() onto the stream. Throws std::bad_alloc, and what the stream throws.
    friend std::ostream& operator<<(std::ostream& stream, const basic_json_pointer& pointer)
    {
        return stream << pointer.to_string();
    }

    /// True for the pointer to the whole value. Never throws.
    bool empty() const noexcept
    {
        return m_tokens.empty();
    }

    /// The number of reference tokens. Never throws.
    std::size_t size() const noexcept
    {
        return m_tokens.size();
    }

    /// The first reference token. Never throws.
    const_iterator begin() const noexcept
    {
        return m_tokens.begin();
    }

    /// Past the last reference token. Never throws.
    const_iterator end() const noexcept
    {
        return m_tokens.end();
    }

    /// The pointer to the value that holds this one; the empty pointer's
    /// own parent is itself. Throws std::bad_alloc.
    basic_json_pointer parent_pointer() const
    {
        basic_json_pointer parent;
        if (not empty())
        {
            parent.m_tokens.assign(m_tokens.begin(), m_tokens.end() - 1);
        }
        return parent;
    }

    /// The last reference token, unescaped. Throws other_error 503 for the
    /// empty pointer.
    const string_t& back() const
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"back()"});
        }
        return m_tokens.back();
    }

    /// Removes the last reference token. Throws other_error 503 for the
    /// empty pointer.
    void pop_back()
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"pop_back()"});
        }
        m_tokens.pop_back();
    }

    /// Appends a reference token, unescaped. Throws std::bad_alloc.
    void push_back(const string_t& token)
    {
        m_tokens.push_back(token);
    }

    /// The same, moving the token in.
    void push_back(string_t&& token)
    {
        m_tokens.push_back(std::move(token));
    }

    /// Appends a reference token, unescaped. Throws std::bad_alloc.
    basic_json_pointer& operator/=(const string_t& token)
    {
        push_back(token);
        return *this;
    }

    /// Appends an array index. Throws std::bad_alloc.
    basic_json_pointer& operator/=(std::size_t index)
    {
        push_back(std::to_string(index));
        return *this;
    }

    /// Appends the reference tokens of other. Throws std::bad_alloc.
    basic_json_pointer& operator/=(const basic_json_pointer& other)
    {
        m_tokens.insert(m_tokens.end(), other.m_tokens.begin(), other.m_tokens.end());
        return *this;
    }

    /// The pointer with a reference token appended: `ptr / "items" / 0`.
    /// Throws std::bad_alloc.
    friend basic_json_pointer operator/(basic_json_pointer pointer, const string_t& token)
    {
        return pointer /= token;
    }

    /// The same with an array index.
    friend basic_json_pointer operator/(basic_json_pointer pointer, std::size_t index)
    {
        return pointer /= index;
    }

    /// The same with the reference tokens of another pointer.
    friend basic_json_pointer operator/(basic_json_pointer pointer, const basic_json_pointer& other)
    {
        return pointer /= other;
    }

    /// True when the pointers have the same reference tokens. Never throws.
    friend bool operator==(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return left.m_tokens == right.m_tokens;
    }

    /// True when they do not.
    friend bool operator!=(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return not(left == right);
    }

    /// Orders by reference tokens, the first that differ deciding, a
    /// prefix first. Never throws.
    friend bool operator<(const basic_json_pointer& left, const basic_json_pointer& right) noexcept
    {
        return left.m_tokens < right.m_tokens;
    }

  private:
    void read(const char* text, const std::size_t length)
    {
        std::size_t byte = 0;
        detail::error what = detail::error::pointer_without_slash;
        if (not detail::read_pointer(text, length, m_tokens, byte, what))
        {
            detail::throw_pointer_syntax_error(what, text, length, byte);
        }
    }

    std::vector<string_t> m_tokens;
};

inline namespace literals
{

/// The value the JSON text holds: R"({"a": 1})"_json. Throws what json::parse throws.
inline json operator""_json(const char* text, std::size_t length)
{
    return json::parse(text, text + length);
}

/// The pointer the text spells: "/a/b"_json_pointer. Throws what
/// json_pointer's constructor throws.
inline json_pointer operator""_json_pointer(const char* text, std::size_t length)
{
    return json_pointer(std::string(text, length));
}

} // namespace literals

} // namespace quarrow

#endif // QUARROW_JSON_POINTER_HPP
