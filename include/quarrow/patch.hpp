// Values by path: access by pointer, JSON Patch, diff, merge patches and flattening, each walked without recursion.

#ifndef QUARROW_PATCH_HPP
#define QUARROW_PATCH_HPP

namespace quarrow
{

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json<ObjectType, ArrayType, StringType, BooleanType, NumberIntegerType, NumberUnsignedType,
                 NumberFloatType, AllocatorType, JSONSerializer>::path_walk
{
    using token_iterator = typename json_pointer::const_iterator;

  public:
    // -- access by pointer ----------------------------------------------------

    /// The value ptr names, or nullptr. Never throws.
    static const basic_json* find(const basic_json& root, const json_pointer& ptr) noexcept
    {
        miss missed{};
        return follow(root, ptr.begin(), ptr.end(), missed);
    }

    /// The value ptr names. Throws what basic_json::at(ptr) throws.
    static const basic_json& at(const basic_json& root, const json_pointer& ptr)
    {
        miss missed{};
        const basic_json* found = follow(root, ptr.begin(), ptr.end(), missed);
        if (found == nullptr)
        {
            throw_miss(ptr, missed);
        }
        return *found;
    }

    /// The value ptr names, made with what leads to it when missing. What is
    /// missing is built apart and attached in a step that cannot fail, so a
    /// throw leaves root as it was. Throws what basic_json::operator[](ptr) throws.
    static basic_json& make(basic_json& root, const json_pointer& ptr)
    {
        basic_json* value = &root;
        miss missed{};
        for (missed.token = ptr.begin(); missed.token != ptr.end(); ++missed.token)
        {
            const basic_json* next = child(*value, *missed.token, missed.why);
            if (next == nullptr)
            {
                break;
            }
            value = const_cast<basic_json*>(next);
        }
        if (missed.token == ptr.end())
        {
            return *value;
        }
        missed.in = value;
        const token_iterator rest = std::next(missed.token);
        if (value->is_null())
        {
            basic_json fresh;
            basic_json* leaf = make_fresh(fresh, ptr, missed.token);
            value->swap(fresh); // the leaf lives in a container, which moves over whole
            return *leaf;
        }
        if (missed.why == detail::error::pointer_key_not_found)
        {
            basic_json fresh;
            basic_json* leaf = make_fresh(fresh, ptr, rest);
            basic_json& member = value->m_value.object->emplace(*missed.token, std::move(fresh)).first->second;
            return rest == ptr.end() ? member : *leaf;
        }
        std::size_t index = 0;
        if (missed.why != detail::error::pointer_index_out_of_range or
            (detail::read_array_index(*missed.token, index) == detail::array_token::index and
             index >= value->m_value.array->max_size()))
        {
            throw_miss(ptr, missed);
        }
        array_t& elements = *value->m_value.array;
        index = std::max(index, elements.size()); // "-" is the end
        basic_json fresh;
        basic_json* leaf = make_fresh(fresh, ptr, rest);
        elements.reserve(index + 1);
        elements.resize(index); // within the room reserved: nothing throws from here on
        elements.push_back(std::move(fresh));
        return rest == ptr.end() ? elements.back() : *leaf;
    }

    /// Removes what ptr names. Throws what basic_json::erase(ptr) throws.
    static void erase(basic_json& root, const json_pointer& ptr)
    {
        if (ptr.empty())
        {
            detail::throw_error(detail::error::empty_pointer, {"erase()"});
        }
        miss missed{};
        const basic_json* parent = follow(root, ptr.begin(), std::prev(ptr.end()), missed);
        if (parent == nullptr)
        {
            throw_miss(ptr, missed);
        }
        if (not remove_child(const_cast<basic_json&>(*parent), ptr.back(), missed.why))
        {
            missed.token = std::prev(ptr.end());
            missed.in = parent;
            throw_miss(ptr, missed);
        }
    }

    // -- JSON Patch -------------------------------------------------------------

    /// Applies the operations to document in order; a throw leaves it part
    /// way, so it is a copy to drop then. Throws what basic_json::patch throws.
    static void apply(basic_json& document, const basic_json& operations)
    {
        if (not operations.is_array())
        {
            detail::throw_error(detail::error::wrong_argument_kind,
                                {"patch()", "an array of operations", operations.type_name()});
        }
        for (size_type i = 0; i < operations.m_value.array->size(); ++i)
        {
            apply_one(document, (*operations.m_value.array)[i], std::to_string(i));
        }
    }

    /// The patch that turns source into target; see basic_json::diff.
    static basic_json diff(const basic_json& source, const basic_json& target)
    {
        basic_json operations(value_t::array);
        string_t path;
        detail::vector_for<basic_json, diff_frame> open;
        diff_one(source, target, path, operations, open);
        while (not open.empty())
        {
            diff_frame& top = open.back();
            const size_type length = top.path_length;
            path.resize(length);
            if (top.source->is_array())
            {
                const array_t& s = *top.source->m_value.array;
                const array_t& t = *top.target->m_value.array;
                const size_type common = std::min(s.size(), t.size());
                if (top.index < common)
                {
                    const size_type i = top.index++;
                    detail::append_reference_token(path, std::to_string(i));
                    diff_one(s[i], t[i], path, operations, open); // may move top
                    continue;
                }
                open.pop_back();
                for (size_type i = common; i < t.size(); ++i)
                {
                    path.resize(length);
                    detail::append_reference_token(path, std::to_string(i));
                    add_operation(operations, "add", path, &t[i]);
                }
                for (size_type i = s.size(); i > common; --i) // from the end, so that no index moves
                {
                    path.resize(length);
                    detail::append_reference_token(path, std::to_string(i - 1));
                    add_operation(operations, "remove", path, nullptr);
                }
                continue;
            }
            const bool source_done = top.source_member == top.source->m_value.object->cend();
            const bool target_done = top.target_member == top.target->m_value.object->cend();
            if (source_done and target_done)
            {
                open.pop_back();
                continue;
            }
            if (target_done or (not source_done and top.source_member->first < top.target_member->first))
            {
                detail::append_reference_token(path, top.source_member->first);
                add_operation(operations, "remove", path, nullptr);
                ++top.source_member;
                continue;
            }
            if (source_done or top.target_member->first < top.source_member->first)
            {
                detail::append_reference_token(path, top.target_member->first);
                add_operation(operations, "add", path, &top.target_member->second);
                ++top.target_member;
                continue;
            }
            detail::append_reference_token(path, top.source_member->first);
            const basic_json& s = (top.source_member++)->second;
            const basic_json& t = (top.target_member++)->second;
            diff_one(s, t, path, operations, open); // may move top
        }
        // Many small changes can take more text than the target itself.
        static const char replace_text[] = R"([{"op":"replace","path":"","value":}])";
        if (operations.dump().size() > target.dump().size() + (sizeof replace_text - 1))
        {
            operations = basic_json(value_t::array);
            add_operation(operations, "replace", string_t(), &target);
        }
        return operations;
    }

    // -- merge patch and flattening ---------------------------------------------

    /// Applies the merge patch to target, one object at a time from a list
    /// of those still to merge. Throws std::bad_alloc, leaving what was
    /// merged by then.
    static void merge(basic_json& target, const basic_json& patch)
    {
        detail::vector_for<basic_json, std::pair<basic_json*, const basic_json*>> open;
        open.emplace_back(&target, &patch);
        while (not open.empty())
        {
            basic_json& into = *open.back().first;
            const basic_json& from = *open.back().second;
            open.pop_back();
            if (not from.is_object())
            {
                basic_json copy(from);
                into.swap(copy);
                continue;
            }
            if (not into.is_object())
            {
                into = basic_json(value_t::object);
            }
            object_t& members = *into.m_value.object;
            for (const auto& member : *from.m_value.object)
            {
                if (member.second.is_null())
                {
                    members.erase(member.first);
                }
                else if (member.second.is_object())
                {
                    open.emplace_back(&members[member.first], &member.second); // map nodes never move
                }
                else
                {
                    members[member.first] = member.second;
                }
            }
        }
    }

    /// See basic_json::flatten.
    static basic_json flatten(const basic_json& value)
    {
        basic_json result(value_t::object);
        object_t& flat = *result.m_value.object;
        string_t path;
        if (not holds_values(value))
        {
            flat.emplace(path, value);
            return result;
        }
        detail::vector_for<basic_json, flatten_frame> open;
        open.push_back(frame_of(value, 0));
        while (not open.empty())
        {
            flatten_frame& top = open.back();
            path.resize(top.path_length);
            const basic_json* next = nullptr;
            if (top.value->is_array())
            {
                if (top.index == top.value->m_value.array->size())
                {
                    open.pop_back();
                    continue;
                }
                detail::append_reference_token(path, std::to_string(top.index));
                next = &(*top.value->m_value.array)[top.index++];
            }
            else
            {
                if (top.member == top.value->m_value.object->cend())
                {
                    open.pop_back();
                    continue;
                }
                detail::append_reference_token(path, top.member->first);
                next = &(top.member++)->second;
            }
            if (holds_values(*next))
            {
                open.push_back(frame_of(*next, path.size())); // moves top
            }
            else
            {
                flat.emplace(path, *next);
            }
        }
        return result;
    }

    /// See basic_json::unflatten.
    static basic_json unflatten(const basic_json& value)
    {
        if (not value.is_object())
        {
            detail::throw_error(detail::error::wrong_argument_kind, {"unflatten()", "an object", value.type_name()});
        }
        basic_json result;
        for (const auto& member : *value.m_value.object)
        {
            basic_json copy(member.second);
            make(result, json_pointer(member.first)).swap(copy);
        }
        return result;
    }

  private:
    /// Where and why a walk by pointer stopped: the token that names no
    /// value, the value it was used on, and the error that is.
    struct miss
    {
        token_iterator token;
        const basic_json* in;
        detail::error why;
    };

    /// The value token names in value, or nullptr with why set. Never throws.
    static const basic_json* child(const basic_json& value, const string_t& token, detail::error& why) noexcept
    {
        if (value.is_object())
        {
            const auto member = value.m_value.object->find(token);
            if (member != value.m_value.object->end())
            {
                return &member->second;
            }
            why = detail::error::pointer_key_not_found;
            return nullptr;
        }
        if (not value.is_array())
        {
            why = detail::error::pointer_into_scalar;
            return nullptr;
        }
        std::size_t index = 0;
        const detail::array_token kind = detail::read_array_index(token, index);
        if (kind == detail::array_token::not_index)
        {
            why = detail::error::pointer_not_an_index;
            return nullptr;
        }
        if (kind == detail::array_token::index and index < value.m_value.array->size())
        {
            return &(*value.m_value.array)[index];
        }
        why = detail::error::pointer_index_out_of_range;
        return nullptr;
    }

    /// The value the tokens [first, last) name from value, or nullptr with
    /// missed filled in. Never throws.
    static const basic_json* follow(const basic_json& value, token_iterator first, const token_iterator last,
                                    miss& missed) noexcept
    {
        const basic_json* found = &value;
        for (; first != last; ++first)
        {
            const basic_json* next = child(*found, *first, missed.why);
            if (next == nullptr)
            {
                missed.token = first;
                missed.in = found;
                return nullptr;
            }
            found = next;
        }
        return found;
    }

    /// Throws the error of a walk that stopped, naming ptr up to the token.
    [[noreturn]] static void throw_miss(const json_pointer& ptr, const miss& missed)
    {
        string_t prefix;
        for (token_iterator token = ptr.begin(); token != std::next(missed.token); ++token)
        {
            detail::append_reference_token(prefix, *token);
        }
        switch (missed.why)
        {
            case detail::error::pointer_into_scalar:
                detail::throw_error(missed.why, {prefix, missed.in->type_name()});
            case detail::error::pointer_not_an_index:
                detail::throw_error(missed.why, {prefix, *missed.token});
            default:
                detail::throw_error(missed.why, {*missed.token, prefix});
        }
    }

    /// Builds the tokens [first, ptr.end()) in fresh, a null: an object for
    /// a key, an array up to an index ("-" being 0). Returns the value they
    /// name. Throws out_of_range 402 for an index no array can reach, and
    /// std::bad_alloc.
    static basic_json* make_fresh(basic_json& fresh, const json_pointer& ptr, token_iterator first)
    {
        basic_json* value = &fresh;
        for (; first != ptr.end(); ++first)
        {
            std::size_t index = 0;
            const detail::array_token kind = detail::read_array_index(*first, index);
            if (kind == detail::array_token::not_index)
            {
                *value = basic_json(value_t::object);
                value = &(*value->m_value.object)[*first];
                continue;
            }
            *value = basic_json(value_t::array);
            if (kind == detail::array_token::past_end)
            {
                index = 0;
            }
            if (index >= value->m_value.array->max_size())
            {
                throw_miss(ptr, miss{first, value, detail::error::pointer_index_out_of_range});
            }
            value->m_value.array->resize(index + 1);
            value = &value->m_value.array->back();
        }
        return value;
    }

    /// Removes the value token names in parent. Returns false, with why
    /// set, when it names none. Never throws.
    static bool remove_child(basic_json& parent, const string_t& token, detail::error& why) noexcept
    {
        if (child(parent, token, why) == nullptr)
        {
            return false;
        }
        if (parent.is_object())
        {
            parent.m_value.object->erase(token);
            return true;
        }
        std::size_t index = 0;
        detail::read_array_index(token, index);
        parent.m_value.array->erase(parent.m_value.array->begin() + static_cast<difference_type>(index));
        return true;
    }

    /// Puts value where path names in document: the whole document, a
    /// member (replaced if there), or an element inserted before an index
    /// up to the size ("-" appending). Returns false, document unchanged,
    /// when the path names no such place. Throws std::bad_alloc.
    static bool add(basic_json& document, const json_pointer& path, basic_json&& value)
    {
        if (path.empty())
        {
            document.swap(value);
            return true;
        }
        miss missed{};
        basic_json* parent = const_cast<basic_json*>(follow(document, path.begin(), std::prev(path.end()), missed));
        if (parent != nullptr and parent->is_object())
        {
            (*parent->m_value.object)[path.back()].swap(value);
            return true;
        }
        if (parent == nullptr or not parent->is_array())
        {
            return false;
        }
        array_t& elements = *parent->m_value.array;
        std::size_t index = elements.size();
        const detail::array_token kind = detail::read_array_index(path.back(), index);
        if (kind == detail::array_token::not_index or (kind == detail::array_token::index and index > elements.size()))
        {
            return false;
        }
        elements.insert(elements.begin() + static_cast<difference_type>(index), std::move(value));
        return true;
    }

    /// The member of an operation, an object, with this name, or nullptr.
    static const basic_json* member_of(const basic_json& operation, const char* name)
    {
        const auto found = operation.m_value.object->find(string_t(name));
        return found == operation.m_value.object->end() ? nullptr : &found->second;
    }

    /// The pointer in the member of an operation with this name. Throws
    /// other_error 504 when it holds no pointer text, naming a text that is none.
    static json_pointer pointer_of(const basic_json& operation, const char* name, const std::string& number)
    {
        const basic_json* text = member_of(operation, name);
        std::vector<string_t> tokens;
        std::size_t byte = 0;
        detail::error what = detail::error::pointer_without_slash;
        const std::string expected = std::string("member '") + name + "' holding a JSON pointer";
        if (text == nullptr or not text->is_string())
        {
            detail::throw_error(detail::error::malformed_operation, {number, expected});
        }
        if (not detail::read_pointer(text->m_value.string->data(), text->m_value.string->size(), tokens, byte, what))
        {
            detail::throw_error(detail::error::malformed_operation,
                                {number, expected + ", not '" + *text->m_value.string + "'"});
        }
        return json_pointer(*text->m_value.string);
    }

    /// Applies one operation; number is its index in the patch.
    static void apply_one(basic_json& document, const basic_json& operation, const std::string& number)
    {
        if (not operation.is_object())
        {
            detail::throw_error(detail::error::malformed_operation, {number, "an object"});
        }
        const basic_json* op = member_of(operation, "op");
        if (op == nullptr or not op->is_string())
        {
            detail::throw_error(detail::error::malformed_operation, {number, "member 'op' holding a string"});
        }
        const string_t& name = *op->m_value.string;
        const bool has_value = name == "add" or name == "replace" or name == "test";
        const bool has_from = name == "move" or name == "copy";
        if (not has_value and not has_from and name != "remove")
        {
            detail::throw_error(detail::error::unknown_operation, {number, name});
        }
        const json_pointer path = pointer_of(operation, "path", number);
        const basic_json* value = has_value ? member_of(operation, "value") : nullptr;
        if (has_value and value == nullptr)
        {
            detail::throw_error(detail::error::malformed_operation, {number, "member 'value'"});
        }
        const json_pointer from = has_from ? pointer_of(operation, "from", number) : json_pointer();
        const basic_json* source = has_from ? find(document, from) : nullptr;
        if (has_from and source == nullptr)
        {
            detail::throw_error(detail::error::patch_path_not_found, {number, name, "from", from.to_string()});
        }
        bool done = true;
        if (name == "add")
        {
            done = add(document, path, basic_json(*value));
        }
        else if (name == "remove")
        {
            miss missed{};
            const basic_json* parent =
                path.empty() ? nullptr : follow(document, path.begin(), std::prev(path.end()), missed);
            done = parent != nullptr and remove_child(const_cast<basic_json&>(*parent), path.back(), missed.why);
        }
        else if (name == "replace")
        {
            basic_json* target = const_cast<basic_json*>(find(document, path));
            done = target != nullptr;
            if (done)
            {
                basic_json copy(*value);
                target->swap(copy);
            }
        }
        else if (name == "test")
        {
            const basic_json* target = find(document, path);
            if (target == nullptr or *target != *value)
            {
                detail::throw_error(detail::error::test_failed, {number, path.to_string()});
            }
        }
        else if (name == "copy")
        {
            done = add(document, path, basic_json(*source));
        }
        else if (from != path)
        {
            if (from.size() < path.size() and std::equal(from.begin(), from.end(), path.begin()))
            {
                detail::throw_error(detail::error::move_into_child, {number, from.to_string(), path.to_string()});
            }
            basic_json moved(std::move(*const_cast<basic_json*>(source)));
            miss missed{};
            const basic_json* parent = follow(document, from.begin(), std::prev(from.end()), missed);
            remove_child(const_cast<basic_json&>(*parent), from.back(), missed.why);
            done = add(document, path, std::move(moved));
        }
        if (not done)
        {
            detail::throw_error(detail::error::patch_path_not_found, {number, name, "path", path.to_string()});
        }
    }

    /// An array or object being compared with one of its kind, and how far.
    struct diff_frame
    {
        const basic_json* source;
        const basic_json* target;
        size_type path_length;
        size_type index;
        typename object_t::const_iterator source_member;
        typename object_t::const_iterator target_member;
    };

    /// Two arrays or two objects go on open, to be compared by their
    /// contents; any other pair that differs is one replace at path.
    static void diff_one(const basic_json& source, const basic_json& target, const string_t& path,
                         basic_json& operations, detail::vector_for<basic_json, diff_frame>& open)
    {
        if (source.is_object() and target.is_object())
        {
            open.push_back({&source, &target, path.size(), 0, source.m_value.object->cbegin(),
                            target.m_value.object->cbegin()});
        }
        else if (source.is_array() and target.is_array())
        {
            open.push_back({&source, &target, path.size(), 0, {}, {}});
        }
        else if (source != target)
        {
            add_operation(operations, "replace", path, &target);
        }
    }

    /// Appends {"op": op, "path": path} to operations, with "value" a copy
    /// of value unless it is nullptr.
    static void add_operation(basic_json& operations, const char* op, const string_t& path, const basic_json* value)
    {
        basic_json operation(value_t::object);
        object_t& members = *operation.m_value.object;
        members[string_t("op")] = op;
        members[string_t("path")] = path;
        if (value != nullptr)
        {
            members[string_t("value")] = *value;
        }
        operations.m_value.array->push_back(std::move(operation));
    }

    /// An array or object being flattened, and how far.
    struct flatten_frame
    {
        const basic_json* value;
        size_type path_length;
        size_type index;
        typename object_t::const_iterator member;
    };

    static flatten_frame frame_of(const basic_json& value, const size_type path_length) noexcept
    {
        return {&value, path_length, 0,
                value.is_object() ? value.m_value.object->cbegin() : typename object_t::const_iterator()};
    }

    /// True for an array or object that is not empty.
    static bool holds_values(const basic_json& value) noexcept
    {
        return value.is_structured() and not value.empty();
    }
};

} // namespace quarrow

#endif // QUARROW_PATCH_HPP
