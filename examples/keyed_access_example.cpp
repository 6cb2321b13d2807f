// Keyed access to the members of an object with at(), and the error for a
// key that is not there.

#include <quarrow/json.hpp>

#include <iostream>

int main()
{
    quarrow::json object = {{"the good", "il buono"}, {"the bad", "il cattivo"}, {"the ugly", "il brutto"}};

    std::cout << object.at("the ugly") << '\n';

    object.at("the bad") = "il cattivo";
    std::cout << object << '\n';

    try
    {
        object.at("the fast") = "il rapido";
    }
    catch (quarrow::detail::out_of_range& error)
    {
        std::cout << error.what() << '\n';
    }
}
