// Instantiations that must not compile: REFUSED_CASE picks one parameter the
// value type cannot honour, which its static_assert refuses by name
// (refused_parameter.cmake checks the message).

#include <quarrow/json.hpp>

#include <cstdint>
#include <deque>
#include <map>
#include <string>
#include <vector>

namespace
{

template<int Case>
struct refused;

template<>
struct refused<0>
{
    using type = quarrow::basic_json<std::multimap>;
};

template<>
struct refused<1>
{
    using type = quarrow::basic_json<std::map, std::deque>;
};

template<>
struct refused<2>
{
    using type = quarrow::basic_json<std::map, std::vector, std::wstring>;
};

template<>
struct refused<3>
{
    using type = quarrow::basic_json<std::map, std::vector, std::string, int>;
};

template<>
struct refused<4>
{
    using type = quarrow::basic_json<std::map, std::vector, std::string, bool, std::int32_t>;
};

template<>
struct refused<5>
{
    using type = quarrow::basic_json<std::map, std::vector, std::string, bool, std::int64_t, std::int64_t>;
};

template<>
struct refused<6>
{
    using type =
        quarrow::basic_json<std::map, std::vector, std::string, bool, std::int64_t, std::uint64_t, long double>;
};

} // namespace

int main()
{
    refused<REFUSED_CASE>::type value;
    return value.is_null() ? 0 : 1;
}
