// The header alone: nothing is included before it, and every member of the
// one instantiation, the nested serializer among them, is compiled whether a
// test uses it or not.

#include <quarrow/json.hpp>

template class quarrow::basic_json<>;
