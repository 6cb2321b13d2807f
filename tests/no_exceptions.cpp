// Built with -fno-exceptions: writes one value, then asks for a missing key,
// which must write the error's message to standard error and abort, after
// calling the handler the program names in QUARROW_ERROR_HANDLER, if any.
// run_no_exceptions.cmake checks all three streams of that.

#include <cstdio>

#ifdef WITH_HANDLER
namespace quarrow
{
namespace detail
{
class exception;
}
}
void report(const quarrow::detail::exception& error);
#define QUARROW_ERROR_HANDLER report
#endif

#include <quarrow/json.hpp>

#ifdef WITH_HANDLER
void report(const quarrow::detail::exception& error)
{
    std::fprintf(stderr, "handler saw %d\n", error.id);
}
#endif

int main()
{
    const quarrow::json value = {{"present", 1}};
    std::printf("%s\n", value.dump().c_str());
    std::fflush(stdout); // abort() flushes nothing
    value.at("missing");
    std::printf("not reached\n");
}
