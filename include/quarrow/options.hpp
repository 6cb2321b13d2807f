// Options: how text is read and written.

#ifndef QUARROW_OPTIONS_HPP
#define QUARROW_OPTIONS_HPP

namespace quarrow
{

/// What the text routes do with string bytes that are not valid UTF-8
/// (RFC 3629: no overlong form, no encoded surrogate, nothing above U+10FFFF,
/// no truncated sequence, no stray continuation byte).
enum class utf8_policy
{
    keep,    ///< write the bytes as they are, as the stream operator does
    replace, ///< write U+FFFD for each maximal subpart of an ill-formed sequence
    error    ///< throw type_error 316 naming the index of the first bad byte
};

/// Options of dump() and dump_to(). The defaults write each double with the
/// fewest digits that read back as the same double, so that parse(dump(v))
/// == v; with fifteen_digit_doubles they give the stream operator's bytes.
struct dump_options
{
    /// Spaces a level when greater than 0; compact otherwise.
    int indent = -1;
    /// Doubles with 15 significant digits, as the stream operator writes
    /// them, instead of the fewest digits that read back as the same double.
    /// 15 digits lose most doubles' last bits.
    bool fifteen_digit_doubles = false;
    /// Bytes of strings and keys that are not valid UTF-8.
    utf8_policy invalid_utf8 = utf8_policy::keep;
    /// Every character above U+007F as \uXXXX (a surrogate pair above
    /// U+FFFF), so that the text is plain ASCII. A byte that is not valid
    /// UTF-8 cannot be kept in ASCII: under utf8_policy::keep it throws
    /// type_error 316, as under utf8_policy::error.
    bool escape_non_ascii = false;
    /// The most bytes the text may have; a longer one throws out_of_range
    /// 408 (dump() returns nothing, dump_to leaves its string as it was). No
    /// limit by default. Indented text grows with depth times size, so a
    /// server that writes back what it received may want one.
    std::size_t max_length = static_cast<std::size_t>(-1);
};

/// What parse does with a key its object already has.
enum class duplicate_key_policy
{
    last_wins,  ///< the later member replaces the earlier one
    first_wins, ///< the later member is read and dropped
    reject      ///< parse_error 104
};

/// How text is read. The defaults read exactly RFC 8259 JSON.
struct parse_options
{
    /// Arrays and objects open at once, at most; one more is parse_error 102.
    std::size_t max_depth = 512;

    /// `//` to the end of the line and `/* ... */` count as whitespace.
    bool allow_comments = false;

    /// One comma may stand before a closing `]` or `}`.
    bool allow_trailing_commas = false;

    /// A UTF-8 byte order mark (EF BB BF) where reading starts is skipped;
    /// positions still count its three bytes.
    bool skip_byte_order_mark = false;

    /// What a repeated key in an object does.
    duplicate_key_policy duplicate_keys = duplicate_key_policy::last_wins;
};

} // namespace quarrow

#endif // QUARROW_OPTIONS_HPP
