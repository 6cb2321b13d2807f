// Writes one value; the consumer tests compare the bytes.

#include <quarrow/json.hpp>

#include <iostream>

int main()
{
    const quarrow::json value = {{"consumed", {1, 2.5, "x"}}, {"version", QUARROW_VERSION_MAJOR}};
    std::cout << value << '\n';
}
