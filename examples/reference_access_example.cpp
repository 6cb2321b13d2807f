// Typed references to the number a value holds, and the error for a type it
// does not hold.

#include <quarrow/json.hpp>

#include <iostream>

int main()
{
    quarrow::json value = 17;

    const quarrow::json::number_integer_t read_const = value.get_ref<const quarrow::json::number_integer_t&>();
    const quarrow::json::number_integer_t read_plain = value.get_ref<quarrow::json::number_integer_t&>();
    std::cout << read_const << ' ' << read_plain << '\n';

    try
    {
        const quarrow::json::number_float_t read_float = value.get_ref<quarrow::json::number_float_t&>();
        std::cout << read_float << '\n';
    }
    catch (quarrow::detail::type_error& error)
    {
        std::cout << error.what() << '\n';
    }
}
