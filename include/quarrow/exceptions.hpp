// Exceptions: every misuse of a value throws one of these.

#ifndef QUARROW_EXCEPTIONS_HPP
#define QUARROW_EXCEPTIONS_HPP

namespace quarrow
{
namespace detail
{

/// Base of the family; catch it to catch every error the library raises.
class exception : public std::exception
{
  public:
    /// The full message. Never fails and does no work.
    const char* what() const noexcept override
    {
        return m_message.c_str();
    }

    /// The numeric id: 100s for parse_error, 200s for invalid_iterator, 300s
    /// for type_error, 400s for out_of_range, 500s for other_error.
    const int id;

  protected:
    /// Composes the message once; throws std::bad_alloc if that fails.
    exception(int id_, const std::string& class_name, const std::string& what_arg)
        : id(id_), m_message("[json.exception." + class_name + "." + std::to_string(id_) + "] " + what_arg)
    {}

  private:
    std::string m_message;
};

/// An operation is not valid for the kind of value it is applied to.
class type_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    type_error(int id_, const std::string& what_arg)
        : exception(id_, "type_error", what_arg)
    {}
};

/// A key or index that is not there. Unrelated to std::out_of_range.
class out_of_range : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    out_of_range(int id_, const std::string& what_arg)
        : exception(id_, "out_of_range", what_arg)
    {}
};

/// Any other misuse.
class other_error : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    other_error(int id_, const std::string& what_arg)
        : exception(id_, "other_error", what_arg)
    {}
};

/// An iterator used where it cannot be: one of another value, one that
/// points to no element, or an operation its kind of value does not offer.
class invalid_iterator : public exception
{
  public:
    /// The error with this id and text; what_arg is copied verbatim.
    invalid_iterator(int id_, const std::string& what_arg)
        : exception(id_, "invalid_iterator", what_arg)
    {}
};

/// Text that is not JSON, or that the parse options refuse.
class parse_error : public exception
{
  public:
    /// The error with this id and place; what_arg is copied verbatim.
    parse_error(int id_, std::size_t byte_, std::size_t line_, std::size_t column_, const std::string& what_arg)
        : exception(id_, "parse_error", what_arg), byte(byte_), line(line_), column(column_)
    {}

    /// 0-based offset of the first byte at which the text stops being the
    /// start of some JSON text, or its length when it ends too early.
    const std::size_t byte;

    /// 1-based line of that byte; lines end at LF.
    const std::size_t line;

    /// 1-based column of that byte on its line, counted in bytes.
    const std::size_t column;
};

/// Every error of the library leaves through here. With exceptions it throws
/// Exception built from args; built with -fno-exceptions it writes the message
/// to standard error and aborts, after calling QUARROW_ERROR_HANDLER(error) if
/// the user defined it (a function that takes a const detail::exception&).
template<typename Exception, typename... Args>
[[noreturn]] void throw_error(Args&&... args)
{
#if defined(__cpp_exceptions) || defined(__EXCEPTIONS)
    throw Exception(std::forward<Args>(args)...);
#else
    const Exception error(std::forward<Args>(args)...);
#ifdef QUARROW_ERROR_HANDLER
    QUARROW_ERROR_HANDLER(static_cast<const exception&>(error));
#endif
    std::fprintf(stderr, "%s\n", error.what());
    std::abort();
#endif
}

} // namespace detail

} // namespace quarrow

#endif // QUARROW_EXCEPTIONS_HPP
