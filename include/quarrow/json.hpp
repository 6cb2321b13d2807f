// <quarrow/json.hpp> straight from the sources: `-I <quarrow>/include` is all
// a checkout needs. The library is src/json.hpp, installed under this name.
#include "../../src/json.hpp"
