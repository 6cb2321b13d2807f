// libFuzzer target for pointers and patches: the input's first line is pointer
// text, the rest a JSON array [document, patch]. Pointer text either reads
// and writes back the same bytes, or throws parse_error 106 or 107 at a byte
// inside it; contains agrees with at; a patch either applies or throws one
// of the library's exceptions and leaves the document as it was; diff turns
// the document into any patched result; merge patches and flattening of any
// value complete.

#include <quarrow/json.hpp>

#include <algorithm>
#include <cstddef>
#include <cstdint>
#include <cstdlib>
#include <string>

namespace
{

using quarrow::json;
using quarrow::json_pointer;

void require(bool condition)
{
    if (not condition)
    {
        std::abort();
    }
}

/// True when making what the pointer names would make an array of millions
/// of nulls, an allocation the sanitizer aborts on rather than let it throw.
bool makes_a_huge_array(const json_pointer& pointer)
{
    return std::any_of(pointer.begin(), pointer.end(), [](const std::string& token) {
        return token.size() > 5 and token.find_first_not_of("0123456789") == std::string::npos;
    });
}

/// The pointer the text spells, or the empty pointer when it spells none.
json_pointer read_pointer(const std::string& text)
{
    try
    {
        json_pointer pointer(text);
        require(pointer.to_string() == text);
        return pointer;
    }
    catch (const json::parse_error& e)
    {
        require((e.id == 106 or e.id == 107) and e.byte <= text.size() and e.column == e.byte + 1);
        return json_pointer();
    }
}

void check_pointer(const json& document, const json_pointer& pointer)
{
    bool found = true;
    try
    {
        document.at(pointer);
    }
    catch (const json::exception&)
    {
        found = false;
    }
    require(document.contains(pointer) == found);
    if (makes_a_huge_array(pointer))
    {
        return;
    }
    json made = document;
    try
    {
        made[pointer] = 1;
    }
    catch (const json::exception&)
    {
        require(made == document);
        return;
    }
    // "-" makes a new element, which the same pointer does not name again.
    require(std::find(pointer.begin(), pointer.end(), "-") != pointer.end() or made.at(pointer) == 1);
}

void check_patch(const json& document, const json& patch)
{
    json patched = document;
    try
    {
        patched.patch_inplace(patch);
    }
    catch (const json::exception&)
    {
        require(patched == document);
        return;
    }
    require(document.patch(json::diff(document, patched)) == patched);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    const std::string input(reinterpret_cast<const char*>(data), size);
    const std::size_t line_end = input.find('\n');
    const json_pointer pointer = read_pointer(input.substr(0, line_end));
    if (line_end == std::string::npos)
    {
        return 0;
    }
    json pair;
    try
    {
        pair = json::parse(input.substr(line_end + 1));
    }
    catch (const json::parse_error&)
    {
        return 0;
    }
    const bool two = pair.is_array() and pair.size() == 2;
    const json document = two ? pair[0] : pair;
    const json patch = two ? pair[1] : json();
    check_pointer(document, pointer);
    check_patch(document, patch);
    json merged = document;
    merged.merge_patch(patch);
    const json flat = document.flatten();
    for (const auto& member : flat.items())
    {
        if (makes_a_huge_array(json_pointer(member.key())))
        {
            return 0;
        }
    }
    try
    {
        flat.unflatten();
    }
    catch (const json::exception&)
    {
        // an object whose keys are indexes, beside others, need not come back
    }
    return 0;
}
