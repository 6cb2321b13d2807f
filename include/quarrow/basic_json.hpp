// The value: a kind tag and one 64-bit word, and everything done with it.

#ifndef QUARROW_BASIC_JSON_HPP
#define QUARROW_BASIC_JSON_HPP

namespace quarrow
{
namespace detail
{

// The reading functions the value's entry points call; the reader's parts define them.

/// Iterators over bytes, which the reading entry points take in pairs.
template<typename Iterator>
using is_byte_iterator =
    is_one_of<uncvref_t<typename std::iterator_traits<Iterator>::value_type>, char, signed char, unsigned char>;

// What the value's code needs of object_t and array_t, asked so that any
// other type gives false rather than an error.

/// Always void: the specializations below match when its types exist.
template<typename...>
struct always_void
{
    using type = void;
};

/// Maps from Key to T with one member per key, as std::map: pairs of a const
/// Key and a T from Allocator, and operator[] to reach a member by its key.
template<typename Map, typename Key, typename T, typename Allocator, typename = void>
struct is_unique_map : std::false_type
{};

template<typename Map, typename Key, typename T, typename Allocator>
struct is_unique_map<Map, Key, T, Allocator,
                     typename always_void<typename Map::value_type, typename Map::allocator_type,
                                          decltype(std::declval<Map&>()[std::declval<const Key&>()])>::type>
    : std::integral_constant<
          bool, std::is_same<typename Map::value_type, std::pair<const Key, T>>::value and
                    std::is_same<typename Map::allocator_type, Allocator>::value and
                    std::is_same<decltype(std::declval<Map&>()[std::declval<const Key&>()]), T&>::value>
{};

/// Sequences of T from Allocator with random access and reserve(), as std::vector.
template<typename Sequence, typename T, typename Allocator, typename = void>
struct is_vector_like : std::false_type
{};

template<typename Sequence, typename T, typename Allocator>
struct is_vector_like<Sequence, T, Allocator,
                      typename always_void<typename Sequence::allocator_type, typename Sequence::iterator,
                                           decltype(std::declval<Sequence&>().reserve(std::size_t()))>::type>
    : std::integral_constant<
          bool, std::is_same<typename Sequence::value_type, T>::value and
                    std::is_same<typename Sequence::allocator_type, Allocator>::value and
                    std::is_base_of<std::random_access_iterator_tag,
                                    typename std::iterator_traits<typename Sequence::iterator>::iterator_category>::value>
{};

template<typename BasicJsonType, typename Source>
BasicJsonType parse_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source>
bool accept_source(Source&& source, const parse_options& options);

template<typename BasicJsonType, typename Source, typename Handler>
bool read_events(Source&& source, Handler& handler, const parse_options& options);

template<typename BasicJsonType>
BasicJsonType parse_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType>
bool accept_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType, typename Handler>
bool read_stream_events(std::istream& stream, Handler& handler, const parse_options& options);

template<typename BasicJsonType, typename Source>
parse_result<BasicJsonType> try_parse_source(Source&& source, const parse_options& options);

template<typename BasicJsonType>
parse_result<BasicJsonType> try_parse_stream(std::istream& stream, const parse_options& options);

template<typename BasicJsonType, typename Source, typename Filter>
BasicJsonType parse_filtered_source(Source&& source, Filter& filter, const parse_options& options);

template<typename BasicJsonType, typename Filter>
BasicJsonType parse_filtered_stream(std::istream& stream, Filter& filter, const parse_options& options);

} // namespace detail

template<template<typename U, typename V, typename... Args> class ObjectType,
         template<typename U, typename... Args> class ArrayType,
         class StringType,
         class BooleanType,
         class NumberIntegerType,
         class NumberUnsignedType,
         class NumberFloatType,
         template<typename U> class AllocatorType,
         template<typename T, typename SFINAE> class JSONSerializer>
class basic_json
{
    template<detail::value_t>
    friend struct detail::external_constructor;
    template<typename>
    friend class detail::value_iterator;

  public:
    using value_t = detail::value_t;

    /// The exception family, also reachable through the value type.
    using exception = detail::exception;
    using type_error = detail::type_error;
    using out_of_range = detail::out_of_range;
    using other_error = detail::other_error;
    using invalid_iterator = detail::invalid_iterator;
    using parse_error = detail::parse_error;

    // What each kind stores.

    /// Members ordered by key, compared byte by byte; one member per key.
    using object_t = ObjectType<StringType, basic_json, std::less<StringType>,
                                AllocatorType<std::pair<const StringType, basic_json>>>;
    using array_t = ArrayType<basic_json, AllocatorType<basic_json>>;
    using string_t = StringType;
    using boolean_t = BooleanType;
    using number_integer_t = NumberIntegerType;
    using number_unsigned_t = NumberUnsignedType;
    using number_float_t = NumberFloatType;
    /// What containers and strings are allocated with, and every stack or
    /// list the value's operations, the reader and the writer keep.
    using allocator_type = AllocatorType<basic_json>;

    // The parameters the code honours; any other is refused here, by name.
    static_assert(detail::is_unique_map<object_t, StringType, basic_json,
                                        AllocatorType<std::pair<const StringType, basic_json>>>::value,
                  "ObjectType must be a map template with the parameters of std::map (key, value, compare, "
                  "allocator), one member per key, holding std::pair<const key, value> from its allocator");
    static_assert(detail::is_vector_like<array_t, basic_json, AllocatorType<basic_json>>::value,
                  "ArrayType must be a sequence template with the parameters of std::vector (value, allocator), "
                  "holding its values from its allocator, with random access and reserve()");
    static_assert(std::is_same<StringType, std::string>::value,
                  "StringType must be std::string: the reader and the writer work on its char bytes");
    static_assert(std::is_same<BooleanType, bool>::value, "BooleanType must be bool");
    static_assert(std::is_integral<NumberIntegerType>::value and std::is_signed<NumberIntegerType>::value and
                      std::numeric_limits<NumberIntegerType>::digits == 63,
                  "NumberIntegerType must be a signed 64-bit integer type");
    static_assert(std::is_integral<NumberUnsignedType>::value and std::is_unsigned<NumberUnsignedType>::value and
                      std::numeric_limits<NumberUnsignedType>::digits == 64,
                  "NumberUnsignedType must be an unsigned 64-bit integer type");
    static_assert(std::is_same<NumberFloatType, double>::value or std::is_same<NumberFloatType, float>::value,
                  "NumberFloatType must be double or float");

    /// Writes one value as JSON text onto a stream, each token with the
    /// stream's own put or write.
    class serializer;

    /// Writes one value as JSON text into a string or, in fixed-size
    /// chunks, onto a stream, as fast as it can.
    class writer;

  private:
    /// The walk of a value and its layout that the two writers share, each
    /// token written through Sink.
    template<typename Sink>
    class tree_walk;

  public:

    /// Converts native values of type T into values and back.
    template<typename T, typename SFINAE = void>
    using json_serializer = JSONSerializer<T, SFINAE>;

    // The value as a container.

    /// What an iterator walks: values.
    using value_type = basic_json;
    /// A reference to an element or a member's value.
    using reference = basic_json&;
    /// The same, read-only.
    using const_reference = const basic_json&;
    /// Counts and indexes of elements and members.
    using size_type = std::size_t;
    /// The distance between two iterators.
    using difference_type = std::ptrdiff_t;
    /// Iterators over an array's elements, an object's members, or the value
    /// itself; see begin().
    using iterator = detail::value_iterator<basic_json>;
    /// The same, read-only.
    using const_iterator = detail::value_iterator<const basic_json>;
    /// The same, walking backwards.
    using reverse_iterator = detail::reverse_value_iterator<iterator>;
    /// The same, read-only.
    using const_reverse_iterator = detail::reverse_value_iterator<const_iterator>;

  private:
    /// The one way containers and strings are made: if building the T throws,
    /// its storage goes back to the allocator and the exception passes on.
    template<typename T, typename... Args>
    static T* create(Args&&... args)
    {
        using traits = std::allocator_traits<AllocatorType<T>>;
        AllocatorType<T> alloc;
        auto deallocate = [&alloc](T* p) { traits::deallocate(alloc, p, 1); };
        std::unique_ptr<T, decltype(deallocate)> object(traits::allocate(alloc, 1), deallocate);
        traits::construct(alloc, object.get(), std::forward<Args>(args)...);
        assert(object != nullptr);
        return object.release();
    }

    /// The counterpart of create.
    template<typename T>
    static void destroy(T* p) noexcept
    {
        using traits = std::allocator_traits<AllocatorType<T>>;
        AllocatorType<T> alloc;
        traits::destroy(alloc, p);
        traits::deallocate(alloc, p, 1);
    }

    /// The storage word; m_type alone says which member is meaningful.
    union json_value
    {
        object_t* object;
        array_t* array;
        string_t* string;
        boolean_t boolean;
        number_integer_t number_integer;
        number_unsigned_t number_unsigned;
        number_float_t number_float;

        json_value() = default;
        json_value(boolean_t v) noexcept : boolean(v) {}
        json_value(number_integer_t v) noexcept : number_integer(v) {}
        json_value(number_unsigned_t v) noexcept : number_unsigned(v) {}
        json_value(number_float_t v) noexcept : number_float(v) {}
        json_value(const string_t& v) : string(create<string_t>(v)) {}
        json_value(const object_t& v) : object(create<object_t>(v)) {}
        json_value(const array_t& v) : array(create<array_t>(v)) {}
        json_value(string_t&& v) : string(create<string_t>(std::move(v))) {}
        json_value(object_t&& v) : object(create<object_t>(std::move(v))) {}
        json_value(array_t&& v) : array(create<array_t>(std::move(v))) {}

        /// The empty value of a kind.
        json_value(value_t t)
        {
            switch (t)
            {
                case value_t::object:
                    object = create<object_t>();
                    break;
                case value_t::array:
                    array = create<array_t>();
                    break;
                case value_t::string:
                    string = create<string_t>("");
                    break;
                case value_t::boolean:
                    boolean = false;
                    break;
                case value_t::number_integer:
                    number_integer = 0;
                    break;
                case value_t::number_unsigned:
                    number_unsigned = 0;
                    break;
                case value_t::number_float:
                    number_float = 0.0;
                    break;
                case value_t::null:
                case value_t::discarded:
                    object = nullptr;
                    break;
            }
        }
    };

    /// The owning kinds never hold a null pointer.
    void assert_invariant() const noexcept
    {
        assert(m_type != value_t::object or m_value.object != nullptr);
        assert(m_type != value_t::array or m_value.array != nullptr);
        assert(m_type != value_t::string or m_value.string != nullptr);
    }

    // -- copying and releasing trees, with no recursion on their depth --------

    /// True for an object or array of kind `kind` that holds at least one value.
    static bool has_children(const value_t kind, const json_value container) noexcept
    {
        return (kind == value_t::object and not container.object->empty()) or
               (kind == value_t::array and not container.array->empty());
    }

    /// True for an object or array that holds at least one value.
    bool has_children() const noexcept
    {
        return has_children(m_type, m_value);
    }

    /// True for this object or array when it holds a value that holds values:
    /// then its container's own copy would copy more than one level down.
    bool has_grandchildren() const noexcept
    {
        if (m_type == value_t::object)
        {
            for (const auto& member : *m_value.object)
            {
                if (member.second.has_children())
                {
                    return true;
                }
            }
            return false;
        }
        for (const basic_json& element : *m_value.array)
        {
            if (element.has_children())
            {
                return true;
            }
        }
        return false;
    }

    /// The first element, or the value of the first member, of a container that has one.
    static basic_json& first_child(const value_t kind, const json_value container) noexcept
    {
        return kind == value_t::object ? container.object->begin()->second : container.array->front();
    }

    /// True for a container that goes on the list of those to release: an
    /// object that holds values, or an array holding an object or array.
    /// Any other array is cheaper to look through here than to put on the list.
    static bool goes_on_list(const value_t kind, const json_value container) noexcept
    {
        if (kind == value_t::object)
        {
            return not container.object->empty();
        }
        if (kind == value_t::array)
        {
            for (const basic_json& element : *container.array)
            {
                if (element.is_structured())
                {
                    return true;
                }
            }
        }
        return false;
    }

    /// Releases an empty object, an array holding no object or array, or a
    /// string: the destructors this runs meet only scalars and strings.
    static void release_flat(const value_t kind, const json_value content) noexcept
    {
        switch (kind)
        {
            case value_t::object:
                destroy(content.object);
                break;
            case value_t::array:
                destroy(content.array);
                break;
            case value_t::string:
                destroy(content.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
    }

    /// Readies a value of a container about to be released, so that the
    /// container's own destructor only meets scalars and strings: an object
    /// or array goes on the list of containers to release headed by
    /// (head_kind, head) when goes_on_list says so, or else is released
    /// here; both leave the value null. The list needs no memory: each
    /// container's first value keeps the link to the next, and what that
    /// value held is dealt with in the same way.
    static void detach(basic_json& value, value_t& head_kind, json_value& head) noexcept
    {
        if (not value.is_structured())
        {
            return;
        }
        value_t kind = value.m_type;
        json_value container = value.m_value;
        value.m_type = value_t::null;
        while (goes_on_list(kind, container))
        {
            basic_json& link = first_child(kind, container);
            const value_t held_kind = link.m_type;
            const json_value held = link.m_value;
            link.m_type = head_kind;
            link.m_value = head;
            head_kind = kind;
            head = container;
            kind = held_kind;
            container = held;
        }
        release_flat(kind, container);
    }

    /// Releases this value's container and all below it, in time linear in
    /// their size and with no memory, since a destructor must not fail. Each
    /// container from the list is released whole after one walk over its
    /// values readies them (see detach), so its own destructor goes one
    /// level down at most; slots left null cost no erase. Out of line so
    /// that the destructor of a scalar or string, run for most values, stays
    /// a few instructions.
    QUARROW_NOINLINE void release_tree() noexcept
    {
        value_t kind = m_type;
        json_value container = m_value;
        value_t head_kind = value_t::null; // null ends the list
        json_value head = {};
        for (;;)
        {
            if (kind == value_t::object)
            {
                for (auto& member : *container.object)
                {
                    detach(member.second, head_kind, head);
                }
                destroy(container.object);
            }
            else
            {
                for (basic_json& element : *container.array)
                {
                    detach(element, head_kind, head);
                }
                destroy(container.array);
            }
            if (head_kind == value_t::null)
            {
                return;
            }
            kind = head_kind;
            container = head;
            basic_json& link = first_child(kind, container);
            head_kind = link.m_type;
            head = link.m_value;
            link.m_type = value_t::null;
        }
    }

    /// The containers of a copy still to fill, each with its source.
    using fill_list = detail::vector_for<basic_json, std::pair<const basic_json*, basic_json*>>;

    /// Makes this null value a copy of source, which has no grandchildren:
    /// a container is copied whole by its own copy, which then copies each
    /// of its values with the copy constructor, one level down at most.
    /// Throws std::bad_alloc, leaving this value as it was.
    QUARROW_ALWAYS_INLINE void copy_whole(const basic_json& source)
    {
        switch (source.m_type)
        {
            case value_t::object:
                m_value = json_value(*source.m_value.object);
                break;
            case value_t::array:
                m_value = json_value(*source.m_value.array);
                break;
            case value_t::string:
                m_value = json_value(*source.m_value.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                m_value = source.m_value;
                break;
        }
        m_type = source.m_type;
    }

    /// Makes this null value a copy of source, except that a container with
    /// grandchildren is left empty and put on to_fill. Inline in the loops
    /// of copy_tree, which run it for every value copied there. Throws
    /// std::bad_alloc, leaving what was built in this value.
    QUARROW_ALWAYS_INLINE void copy_one_level(const basic_json& source, fill_list& to_fill)
    {
        if (source.is_structured() and source.has_grandchildren())
        {
            m_value = json_value(source.m_type);
            m_type = source.m_type;
            to_fill.emplace_back(&source, this);
            return;
        }
        copy_whole(source);
    }

    /// Makes this null value a copy of source, an object or array: whole by
    /// its container's own copy when it has no grandchildren, or else one
    /// container at a time from a list of those still to fill. Out of line,
    /// as release_tree. Throws std::bad_alloc, leaving what was built in
    /// this value.
    QUARROW_NOINLINE void copy_tree(const basic_json& source)
    {
        if (not source.has_grandchildren())
        {
            copy_whole(source);
            return;
        }
        m_value = json_value(source.m_type);
        m_type = source.m_type;
        fill_list to_fill;
        to_fill.reserve(64); // spares the first regrowths
        to_fill.emplace_back(&source, this);
        while (not to_fill.empty())
        {
            const basic_json& from = *to_fill.back().first;
            basic_json& into = *to_fill.back().second;
            to_fill.pop_back();
            if (from.is_object())
            {
                object_t& members = *into.m_value.object;
                for (const auto& member : *from.m_value.object)
                {
                    members
                        .emplace_hint(members.end(), std::piecewise_construct, std::forward_as_tuple(member.first),
                                      std::forward_as_tuple())
                        ->second.copy_one_level(member.second, to_fill);
                }
            }
            else
            {
                array_t& elements = *into.m_value.array;
                elements.reserve(from.m_value.array->size()); // so the addresses kept in to_fill stay valid
                for (const basic_json& element : *from.m_value.array)
                {
                    elements.emplace_back();
                    elements.back().copy_one_level(element, to_fill);
                }
            }
        }
    }

  public:
    // -- lifecycle ------------------------------------------------------------

    /// A null value.
    basic_json() noexcept
    {
        assert_invariant();
    }

    /// The empty value of a kind: {}, [], "", false, 0, 0u, 0.0, null or
    /// discarded. Throws std::bad_alloc for the three that allocate, and
    /// other_error 502 for a number that is none of the nine kinds.
    basic_json(value_t kind)
        : basic_json()
    {
        if (kind > value_t::discarded) // a cast number: its value would write nothing at all
        {
            detail::throw_error(detail::error::unknown_kind, {std::to_string(static_cast<unsigned int>(kind))});
        }
        m_value = kind;
        m_type = kind;
        assert_invariant();
    }

    /// A value from a native one, through json_serializer<T>::to_json:
    /// nullptr is null; bool is a boolean; signed char, short, int, long and
    /// long long are signed numbers; their unsigned forms are unsigned
    /// numbers; float and double are floating-point numbers; string_t,
    /// character arrays and character pointers are strings (a null pointer
    /// throws other_error 501); object_t and array_t are copied or moved in.
    /// Sequences and sets of values that convert (C arrays and initializer
    /// lists too), std::pair and std::tuple are arrays; maps with keys that
    /// convert to string_t are objects; from C++17, std::optional is its
    /// value or null, std::string_view a string.
    /// Characters, other pointers and other types do not convert, unless a
    /// to_json for them is found in their own namespace.
    /// Throws only what that conversion throws (allocation failure for text
    /// and containers); what it had stored by then is released.
    template<typename CompatibleType, typename U = detail::uncvref_t<CompatibleType>,
             detail::enable_if_t<not std::is_same<U, basic_json>::value, int> = 0,
             typename = decltype(json_serializer<U>::to_json(std::declval<basic_json&>(),
                                                            std::declval<CompatibleType>()))>
    basic_json(CompatibleType&& val) noexcept(
        noexcept(json_serializer<U>::to_json(std::declval<basic_json&>(), std::forward<CompatibleType>(val))))
        : basic_json() // complete from here on, so what a throwing to_json stored is released
    {
        json_serializer<U>::to_json(*this, std::forward<CompatibleType>(val));
        assert_invariant();
    }

    /// An object or an array from a brace list. With type_deduction, a list
    /// whose every entry is a two-entry array with a string first (an empty
    /// list too) is an object, the first entry with a key winning; any other
    /// list is an array of copies of its entries. Without type_deduction,
    /// manual_type value_t::array forces an array and value_t::object demands
    /// an object. Throws type_error 301 when an object is demanded of a list
    /// that is not one, and std::bad_alloc; nothing is left behind either way.
    basic_json(std::initializer_list<basic_json> init, bool type_deduction = true,
               value_t manual_type = value_t::array)
        : basic_json() // complete from here on, so a throw below releases what was built
    {
        bool is_an_object = std::all_of(init.begin(), init.end(), [](const basic_json& element) {
            return element.is_array() and element.size() == 2 and element[0].is_string();
        });

        if (not type_deduction)
        {
            if (manual_type == value_t::array)
            {
                is_an_object = false;
            }
            if (manual_type == value_t::object and not is_an_object)
            {
                detail::throw_error(detail::error::object_from_list);
            }
        }

        if (is_an_object)
        {
            m_value = value_t::object;
            m_type = value_t::object;
            for (const basic_json& element : init)
            {
                m_value.object->emplace(*element[0].m_value.string, element[1]);
            }
        }
        else
        {
            m_value.array = create<array_t>(init);
            m_type = value_t::array;
        }
        assert_invariant();
    }

    /// A deep copy: the copy and its source share nothing.
    /// Throws std::bad_alloc; nothing is left behind if it does.
    basic_json(const basic_json& other)
        : basic_json() // complete from here on, so a throw below releases what was built
    {
        other.assert_invariant();
        switch (other.m_type)
        {
            case value_t::object:
            case value_t::array:
                if (other.has_children())
                {
                    copy_tree(other);
                    break;
                }
                m_value = json_value(other.m_type);
                m_type = other.m_type;
                break;
            case value_t::string:
                m_value = json_value(*other.m_value.string);
                m_type = value_t::string;
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                m_value = other.m_value;
                m_type = other.m_type;
                break;
        }
        assert_invariant();
    }

    /// Takes over other's content and leaves other null.
    basic_json(basic_json&& other) noexcept
        : m_type(other.m_type), m_value(other.m_value)
    {
        other.assert_invariant();
        other.m_type = value_t::null;
        other.m_value = {};
        assert_invariant();
    }

    /// Exchange-based assignment: any copy is made while the argument is
    /// built, so the target is untouched if it fails; the old content is
    /// released when the argument dies.
    basic_json& operator=(basic_json other) noexcept
    {
        other.assert_invariant();
        std::swap(m_type, other.m_type);
        std::swap(m_value, other.m_value);
        assert_invariant();
        return *this;
    }

    /// Releases the whole tree the value owns, at any depth.
    ~basic_json() noexcept
    {
        assert_invariant();
        switch (m_type)
        {
            case value_t::object:
            case value_t::array:
                release_tree();
                break;
            case value_t::string:
                destroy(m_value.string);
                break;
            case value_t::null:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
    }

    /// An array of the entries of init, whatever they are: array({{"a", 1}})
    /// holds one pair. Throws std::bad_alloc.
    static basic_json array(std::initializer_list<basic_json> init = {})
    {
        return basic_json(init, false, value_t::array);
    }

    /// An object of the pairs in init, the first entry with a key winning.
    /// Throws type_error 301 when an entry is not a two-entry array with a
    /// string first, and std::bad_alloc.
    static basic_json object(std::initializer_list<basic_json> init = {})
    {
        return basic_json(init, false, value_t::object);
    }

    // -- kind -----------------------------------------------------------------

    /// The kind the value holds.
    value_t type() const noexcept
    {
        return m_type;
    }

    /// True for null.
    bool is_null() const noexcept
    {
        return m_type == value_t::null;
    }

    /// True for an object.
    bool is_object() const noexcept
    {
        return m_type == value_t::object;
    }

    /// True for an array.
    bool is_array() const noexcept
    {
        return m_type == value_t::array;
    }

    /// True for a string.
    bool is_string() const noexcept
    {
        return m_type == value_t::string;
    }

    /// True for a boolean.
    bool is_boolean() const noexcept
    {
        return m_type == value_t::boolean;
    }

    /// True for signed and unsigned integers alike.
    bool is_number_integer() const noexcept
    {
        return m_type == value_t::number_integer or m_type == value_t::number_unsigned;
    }

    /// True for all three number kinds.
    bool is_number() const noexcept
    {
        return is_number_integer() or is_number_float();
    }

    /// True for an unsigned number only.
    bool is_number_unsigned() const noexcept
    {
        return m_type == value_t::number_unsigned;
    }

    /// True for a floating-point number.
    bool is_number_float() const noexcept
    {
        return m_type == value_t::number_float;
    }

    /// True for the discarded kind, which only basic_json(value_t::discarded) makes.
    bool is_discarded() const noexcept
    {
        return m_type == value_t::discarded;
    }

    /// Null, a string, a boolean or a number.
    bool is_primitive() const noexcept
    {
        return is_null() or is_string() or is_boolean() or is_number();
    }

    /// An object or an array.
    bool is_structured() const noexcept
    {
        return is_object() or is_array();
    }

    /// 0 for null; the member or element count of an object or array;
    /// 1 for everything else, a string of any length included.
    std::size_t size() const noexcept
    {
        switch (m_type)
        {
            case value_t::null:
                return 0;
            case value_t::object:
                return m_value.object->size();
            case value_t::array:
                return m_value.array->size();
            case value_t::string:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
        return 1;
    }

    /// The kind's name as error messages use it; all numbers are "number".
    std::string type_name() const
    {
        switch (m_type)
        {
            case value_t::null:
                return "null";
            case value_t::object:
                return "object";
            case value_t::array:
                return "array";
            case value_t::string:
                return "string";
            case value_t::boolean:
                return "boolean";
            case value_t::discarded:
                return "discarded";
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                break;
        }
        return "number";
    }

    // -- element access -------------------------------------------------------

    /// The value of the member with this key, compared byte for byte.
    /// Throws type_error 304 when the value is not an object and out_of_range
    /// 403 when it has no such member; nothing is ever inserted.
    basic_json& at(const string_t& key)
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).at(key));
    }

    /// The same, on a const value.
    const basic_json& at(const string_t& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_at);
        }
        const auto member = m_value.object->find(key);
        if (member == m_value.object->end())
        {
            detail::throw_error(detail::error::key_not_found, {key});
        }
        return member->second;
    }

    /// The element at this position of an array. Throws type_error 305 when
    /// the value is not an array (a null is not turned into one), and
    /// out_of_range 401 when index is not less than size(): nothing outside
    /// the array is ever read.
    const basic_json& operator[](std::size_t index) const
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        return (*m_value.array)[index];
    }

    // -- lookup ---------------------------------------------------------------
    // object_t orders keys with std::less<string_t>, which is not transparent,
    // so a lookup needs a string_t: one is taken by reference and never
    // copied; any other string-like key (a literal, a string_view) is turned
    // into one first.

  private:
#if defined(__cpp_lib_string_view)
    template<typename KeyType>
    using is_string_view_like = std::is_convertible<KeyType, std::string_view>;
#else
    template<typename KeyType>
    using is_string_view_like = std::false_type;
#endif

    /// Key types other than string_t that make a string_t: character
    /// pointers and arrays, and from C++17 what converts to a string view.
    /// Nothing else, so that a class that merely converts to string_t (an
    /// address of a value, say) keeps the overloads made for it.
    template<typename KeyType>
    using enable_if_key_like =
        detail::enable_if_t<(std::is_convertible<KeyType, const char*>::value or
                             is_string_view_like<KeyType>::value) and
                                not std::is_same<detail::uncvref_t<KeyType>, string_t>::value and
                                not std::is_same<detail::uncvref_t<KeyType>, basic_json>::value,
                            int>;

  public:
    /// The member with this key, or end() when there is none or the value is
    /// not an object. Never throws.
    iterator find(const string_t& key) noexcept
    {
        return is_object() ? iterator(this, m_value.object->find(key)) : end();
    }

    /// The same, on a const value.
    const_iterator find(const string_t& key) const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->find(key)) : end();
    }

    /// The same, for any string-like key. Throws other_error 501 for a null
    /// character pointer, and std::bad_alloc when making the string_t fails.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    iterator find(KeyType&& key)
    {
        return find(key_text(key));
    }

    /// The same, on a const value.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const_iterator find(KeyType&& key) const
    {
        return find(key_text(key));
    }

    /// True when the value is an object with a member of this key. Throws
    /// only what making a string_t of a string-like key throws.
    template<typename KeyType,
             detail::enable_if_t<not std::is_same<detail::uncvref_t<KeyType>, basic_json_pointer<string_t>>::value,
                                 int> = 0>
    bool contains(KeyType&& key) const
    {
        return find(std::forward<KeyType>(key)) != end();
    }

    /// 1 when the value is an object with a member of this key, 0 otherwise.
    /// Throws only what making a string_t of a string-like key throws.
    template<typename KeyType>
    size_type count(KeyType&& key) const
    {
        return contains(std::forward<KeyType>(key)) ? 1 : 0;
    }

    // -- access as a container: by index, by string-like key, at either end --
    // A string-like key (see enable_if_key_like) is made into a string_t
    // once; a null character pointer throws other_error 501.

    /// The element at this position of an array. Throws type_error 304 when
    /// the value is not an array and out_of_range 401, naming the index and
    /// the size, when index is not less than size(); nothing is inserted.
    basic_json& at(size_type index)
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).at(index));
    }

    /// The same, on a const value.
    const basic_json& at(size_type index) const
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_at);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        return (*m_value.array)[index];
    }

    /// at(key) for a string-like key. Throws what at(string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    basic_json& at(KeyType&& key)
    {
        return at(key_text(key));
    }

    /// The same, on a const value.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const basic_json& at(KeyType&& key) const
    {
        return at(key_text(key));
    }

    /// value[key] for a string-like key. Throws what operator[](string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    basic_json& operator[](KeyType&& key)
    {
        return (*this)[key_text(key)];
    }

    /// The same, on a const value: nothing is inserted.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    const basic_json& operator[](KeyType&& key) const
    {
        return (*this)[key_text(key)];
    }

    /// erase(key) for a string-like key. Throws what erase(string_t) throws.
    template<typename KeyType, enable_if_key_like<KeyType> = 0>
    size_type erase(KeyType&& key)
    {
        return erase(key_text(key));
    }

    /// The first element of an array, the value of the first member of an
    /// object in key order, or a string, boolean or number itself, as begin()
    /// walks them. Throws out_of_range 412 for null and an empty container.
    basic_json& front()
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).front());
    }

    /// The same, on a const value.
    const basic_json& front() const
    {
        return end_element("front()", true);
    }

    /// The last element of an array, the value of the last member of an
    /// object in key order, or a string, boolean or number itself. Throws
    /// out_of_range 412 for null and an empty container.
    basic_json& back()
    {
        return const_cast<basic_json&>(static_cast<const basic_json&>(*this).back());
    }

    /// The same, on a const value.
    const basic_json& back() const
    {
        return end_element("back()", false);
    }

    /// Adds the member key with the value basic_json(args...) to an object
    /// unless the key is there, in which case args are left untouched; a
    /// null value becomes an object first. Returns the member with that key
    /// and whether it was added. The key is a string_t or string-like.
    /// Throws type_error 320 on any other kind, other_error 501 for a null
    /// character pointer, and what building the value throws; the value is
    /// then as it was.
    template<typename KeyType, typename... Args,
             detail::enable_if_t<std::is_same<detail::uncvref_t<KeyType>, string_t>::value, int> = 0>
    std::pair<iterator, bool> emplace(KeyType&& key, Args&&... args)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            const auto added = object.emplace(std::forward<KeyType>(key), std::forward<Args>(args)...);
            swap(object);
            return {iterator(this, added.first.m_member), true};
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_emplace);
        }
        object_t& members = *m_value.object;
        const auto place = members.lower_bound(key);
        if (place != members.end() and not members.key_comp()(key, place->first))
        {
            return {iterator(this, place), false};
        }
        const auto added = members.emplace_hint(place, std::piecewise_construct,
                                                std::forward_as_tuple(std::forward<KeyType>(key)),
                                                std::forward_as_tuple(std::forward<Args>(args)...));
        return {iterator(this, added), true};
    }

    /// The same for a string-like key.
    template<typename KeyType, typename... Args, enable_if_key_like<KeyType> = 0>
    std::pair<iterator, bool> emplace(KeyType&& key, Args&&... args)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_emplace); // before the key is copied
        }
        return emplace(key_text(key), std::forward<Args>(args)...);
    }

    // -- change ---------------------------------------------------------------
    // Every change completes or leaves the value as it was: whatever may fail
    // (a copy, an allocation) happens before the value is touched, or is
    // undone. A null becomes the container a change needs.

    /// The value of the member with this key, inserted as null when missing;
    /// a null value becomes an object first. Throws type_error 305 on any
    /// other kind, and std::bad_alloc.
    basic_json& operator[](const string_t& key)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            basic_json& member = object[key];
            swap(object);
            return member;
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        return (*m_value.object)[key];
    }

    /// The value of the member with this key; nothing is ever inserted.
    /// Throws type_error 305 when the value is not an object and out_of_range
    /// 403 when it has no such member.
    const basic_json& operator[](const string_t& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        return at(key);
    }

    /// The element at this position of an array, to read or replace. An
    /// index past the end first grows the array with nulls up to it, and a
    /// null value becomes an array first. Throws type_error 305 on any other
    /// kind, out_of_range 401 for an index no array can reach, and
    /// std::bad_alloc; the value is then as it was.
    basic_json& operator[](size_type index)
    {
        if (is_null())
        {
            basic_json array(value_t::array);
            basic_json& element = array[index];
            swap(array);
            return element;
        }
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_subscript);
        }
        array_t& elements = *m_value.array;
        if (index >= elements.size())
        {
            if (index >= elements.max_size())
            {
                throw_index_error(index, elements.size());
            }
            elements.resize(index + 1); // strong: moving a value cannot throw
        }
        return elements[index];
    }

    /// Appends val to an array; a null value becomes an array first. Throws
    /// type_error 308 on any other kind, and std::bad_alloc.
    void push_back(basic_json&& val)
    {
        if (not is_null() and not is_array())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        emplace_back(std::move(val));
    }

    /// Appends a copy of val, which may be part of this value. Throws what
    /// the other push_back throws.
    void push_back(const basic_json& val)
    {
        push_back(basic_json(val));
    }

    /// Adds a member to an object unless its key is there; a null value
    /// becomes an object first. Throws type_error 308 on any other kind, and
    /// std::bad_alloc.
    void push_back(const typename object_t::value_type& member)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        insert(member);
    }

    /// On an object (or null), a list of a string and a value adds that
    /// member; anything else appends basic_json(init). Throws what the other
    /// push_back forms throw.
    void push_back(std::initializer_list<basic_json> init)
    {
        if ((is_object() or is_null()) and init.size() == 2 and init.begin()->is_string())
        {
            push_back(typename object_t::value_type(*init.begin()->m_value.string, *(init.begin() + 1)));
            return;
        }
        if (not is_null() and not is_array())
        {
            throw_kind_error(detail::error::cannot_use_push_back);
        }
        push_back(basic_json(init));
    }

    /// Appends basic_json(args...) to an array and returns it; a null value
    /// becomes an array first. Throws type_error 311 on any other kind, and
    /// what building the element throws.
    template<typename... Args>
    basic_json& emplace_back(Args&&... args)
    {
        if (is_null())
        {
            basic_json array(value_t::array);
            basic_json& element = array.emplace_back(std::forward<Args>(args)...);
            swap(array);
            return element;
        }
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_emplace_back);
        }
        m_value.array->emplace_back(std::forward<Args>(args)...);
        return m_value.array->back();
    }

    /// Inserts a copy of val into an array before pos; returns an iterator to
    /// it. Throws type_error 309 when the value is not an array,
    /// invalid_iterator 202 for an iterator of another value, 205 for one
    /// past the end, and std::bad_alloc.
    iterator insert(const_iterator pos, const basic_json& val)
    {
        return insert_elements(pos, array_t(1, val));
    }

    /// The same, moving val in.
    iterator insert(const_iterator pos, basic_json&& val)
    {
        array_t elements;
        elements.push_back(std::move(val));
        return insert_elements(pos, std::move(elements));
    }

    /// Inserts count copies of val before pos; returns an iterator to the
    /// first, or pos when count is 0. Throws what inserting one value throws.
    iterator insert(const_iterator pos, size_type count, const basic_json& val)
    {
        return insert_elements(pos, array_t(count, val));
    }

    /// Inserts copies of the elements (or member values) of [first, last),
    /// which may come from this very array, before pos. Throws what inserting
    /// one value throws, invalid_iterator 210 when first and last belong to
    /// different values, and what stepping from first to last throws.
    iterator insert(const_iterator pos, const_iterator first, const_iterator last)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_error(detail::error::range_of_different_values);
        }
        array_t elements;
        for (; first != last; ++first)
        {
            elements.push_back(*first);
        }
        return insert_elements(pos, std::move(elements));
    }

    /// Inserts copies of the list's values before pos. Throws what inserting
    /// one value throws.
    iterator insert(const_iterator pos, std::initializer_list<basic_json> init)
    {
        return insert_elements(pos, array_t(init));
    }

    /// Adds a member to an object unless its key is there; a null value
    /// becomes an object first. Returns the member with that key and whether
    /// it was added. Throws type_error 309 on any other kind, and std::bad_alloc.
    std::pair<iterator, bool> insert(const typename object_t::value_type& member)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            const auto added = object.m_value.object->insert(member);
            swap(object);
            return {iterator(this, added.first), true};
        }
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        const auto added = m_value.object->insert(member);
        return {iterator(this, added.first), added.second};
    }

    /// Adds copies of the members of the object other whose keys this object
    /// lacks, keeping the members it has; a null value becomes an object
    /// first. Throws type_error 309 when either value is not an object (the
    /// message names the kind of the one that is not), and std::bad_alloc.
    void insert(const basic_json& other)
    {
        merge(other, false, detail::error::cannot_use_insert);
    }

    /// The same with the members of [first, last), iterators of an object.
    /// Throws type_error 309 when this value is not an object or null,
    /// invalid_iterator 210 when first and last belong to different values,
    /// 211 when they do not belong to an object, and std::bad_alloc.
    void insert(const_iterator first, const_iterator last)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (first.m_container != last.m_container)
        {
            detail::throw_error(detail::error::range_of_different_values);
        }
        if (first.m_container == nullptr or not first.m_container->is_object())
        {
            detail::throw_error(detail::error::range_not_of_an_object);
        }
        merge_range(first, last, false);
    }

    /// Copies every member of the object other in, replacing the value of a
    /// member with the same key; a null value becomes an object first.
    /// Throws type_error 312 when either value is not an object (the message
    /// names the kind of the one that is not), and std::bad_alloc.
    void update(const basic_json& other)
    {
        merge(other, true, detail::error::cannot_use_update);
    }

    /// Removes the member with this key; returns how many were removed, 0 or
    /// 1. Throws type_error 307 when the value is not an object.
    size_type erase(const string_t& key)
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        return m_value.object->erase(key);
    }

    /// Removes the element at this position of an array. Throws type_error
    /// 307 when the value is not an array and out_of_range 401 when index is
    /// not less than size().
    void erase(size_type index)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (index >= m_value.array->size())
        {
            throw_index_error(index, m_value.array->size());
        }
        m_value.array->erase(m_value.array->begin() + static_cast<difference_type>(index));
    }

    /// Removes the element or member at pos; on a string, boolean or number,
    /// whose one element is the value itself, makes it null. Returns an
    /// iterator to what followed. Throws type_error 307 on null,
    /// invalid_iterator 202 for an iterator of another value and 205 for one
    /// that points to no element.
    iterator erase(const_iterator pos)
    {
        if (is_null() or is_discarded())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (pos.m_container != this)
        {
            detail::throw_error(detail::error::iterator_of_another_value);
        }
        if (is_object())
        {
            if (pos.m_member == m_value.object->cend())
            {
                detail::throw_error(detail::error::iterator_out_of_range);
            }
            return iterator(this, m_value.object->erase(pos.m_member));
        }
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) >= size())
        {
            detail::throw_error(detail::error::iterator_out_of_range);
        }
        if (is_array())
        {
            m_value.array->erase(m_value.array->begin() + pos.m_index);
            return iterator(this, pos.m_index);
        }
        *this = basic_json();
        return end();
    }

    /// Removes the elements or members of [first, last); on a string,
    /// boolean or number, a range of its one element makes it null. Returns
    /// an iterator to what followed. Throws type_error 307 on null,
    /// invalid_iterator 203 for iterators of another value and 204 when they
    /// do not delimit a range, last before first included.
    iterator erase(const_iterator first, const_iterator last)
    {
        if (is_null() or is_discarded())
        {
            throw_kind_error(detail::error::cannot_use_erase);
        }
        if (first.m_container != this or last.m_container != this)
        {
            detail::throw_error(detail::error::iterators_of_another_value);
        }
        if (is_object())
        {
            // Walking there is what erasing costs anyway, and it finds a reversed range.
            for (auto member = first.m_member; member != last.m_member; ++member)
            {
                if (member == m_value.object->cend())
                {
                    detail::throw_error(detail::error::iterators_not_a_range);
                }
            }
            return iterator(this, m_value.object->erase(first.m_member, last.m_member));
        }
        if (first.m_index < 0 or first.m_index > last.m_index or static_cast<size_type>(last.m_index) > size())
        {
            detail::throw_error(detail::error::iterators_not_a_range);
        }
        if (is_array())
        {
            m_value.array->erase(m_value.array->begin() + first.m_index, m_value.array->begin() + last.m_index);
            return iterator(this, first.m_index);
        }
        if (first.m_index != last.m_index)
        {
            *this = basic_json();
        }
        return iterator(this, first.m_index);
    }

    /// Makes the value the empty one of its kind: {}, [], "", false, 0, 0u,
    /// 0.0; null and discarded stay as they are. Never throws.
    void clear() noexcept
    {
        switch (m_type)
        {
            case value_t::object:
                m_value.object->clear();
                break;
            case value_t::array:
                m_value.array->clear();
                break;
            case value_t::string:
                m_value.string->clear();
                break;
            case value_t::boolean:
                m_value.boolean = false;
                break;
            case value_t::number_integer:
                m_value.number_integer = 0;
                break;
            case value_t::number_unsigned:
                m_value.number_unsigned = 0;
                break;
            case value_t::number_float:
                m_value.number_float = 0.0;
                break;
            case value_t::null:
            case value_t::discarded:
                break;
        }
    }

    /// Exchanges the contents of two values. Never throws.
    void swap(basic_json& other) noexcept
    {
        std::swap(m_type, other.m_type);
        std::swap(m_value, other.m_value);
        assert_invariant();
        other.assert_invariant();
    }

    /// The same, found by argument-dependent lookup.
    friend void swap(basic_json& left, basic_json& right) noexcept
    {
        left.swap(right);
    }

    /// Exchanges the elements of an array with other's. Throws type_error 310
    /// when the value is not an array.
    void swap(array_t& other)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.array, other);
    }

    /// Exchanges the members of an object with other's. Throws type_error
    /// 310 when the value is not an object.
    void swap(object_t& other)
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.object, other);
    }

    /// Exchanges the text of a string with other. Throws type_error 310 when
    /// the value is not a string.
    void swap(string_t& other)
    {
        if (not is_string())
        {
            throw_kind_error(detail::error::cannot_use_swap);
        }
        std::swap(*m_value.string, other);
    }

  private:
    /// The error of an operation the value's kind does not offer, which
    /// names the kind: one of the "cannot use <operation> with <type name>".
    [[noreturn]] void throw_kind_error(const detail::error what) const
    {
        detail::throw_error(what, {type_name()});
    }

    /// front() (first) or back(): the element at that end of what begin()
    /// walks. Throws out_of_range 412, naming the operation, when there is none.
    const basic_json& end_element(const char* operation, const bool first) const
    {
        if (empty())
        {
            detail::throw_error(detail::error::empty_has_no_element, {operation, type_name()});
        }
        switch (m_type)
        {
            case value_t::object:
                return first ? m_value.object->begin()->second : m_value.object->rbegin()->second;
            case value_t::array:
                return first ? m_value.array->front() : m_value.array->back();
            default:
                return *this;
        }
    }

    [[noreturn]] static void throw_index_error(size_type index, size_type size)
    {
        detail::throw_error(detail::error::index_out_of_range, {std::to_string(index), std::to_string(size)});
    }

    /// Inserts elements before pos, as one step that cannot fail half way:
    /// the room is reserved first, and moving values in never throws.
    iterator insert_elements(const_iterator pos, array_t&& elements)
    {
        if (not is_array())
        {
            throw_kind_error(detail::error::cannot_use_insert);
        }
        if (pos.m_container != this)
        {
            detail::throw_error(detail::error::iterator_of_another_value);
        }
        array_t& array = *m_value.array;
        if (pos.m_index < 0 or static_cast<size_type>(pos.m_index) > array.size())
        {
            detail::throw_error(detail::error::iterator_out_of_range);
        }
        static_assert(std::is_nothrow_move_constructible<basic_json>::value and
                          std::is_nothrow_move_assignable<basic_json>::value,
                      "moving elements within the reserved room must not throw");
        array.reserve(array.size() + elements.size());
        array.insert(array.begin() + pos.m_index, std::make_move_iterator(elements.begin()),
                     std::make_move_iterator(elements.end()));
        return iterator(this, pos.m_index);
    }

    /// insert(other) and update(other): the members of other merged in.
    void merge(const basic_json& other, const bool replace, const detail::error kind_error)
    {
        if (not is_null() and not is_object())
        {
            throw_kind_error(kind_error);
        }
        if (not other.is_object())
        {
            other.throw_kind_error(kind_error);
        }
        merge_range(other.cbegin(), other.cend(), replace);
    }

    /// Copies the members of [first, last) in: those with new keys, and
    /// with replace those with existing keys too. First every value is
    /// copied, then the new members are added holding null (and removed
    /// again if that fails), and last the copies are moved in, which cannot fail.
    void merge_range(const_iterator first, const_iterator last, const bool replace)
    {
        if (is_null())
        {
            basic_json object(value_t::object);
            object.merge_range(first, last, replace);
            swap(object);
            return;
        }
        object_t& object = *m_value.object;

        detail::vector_for<basic_json, std::pair<const string_t*, basic_json>> incoming;
        for (; first != last; ++first)
        {
            if (replace or object.find(first.key()) == object.end())
            {
                incoming.emplace_back(&first.key(), *first);
            }
        }

        // Erases the members added so far unless committed.
        struct undo_additions
        {
            object_t& object;
            detail::vector_for<basic_json, typename object_t::iterator> added;
            bool committed;

            ~undo_additions()
            {
                if (not committed)
                {
                    for (const auto& member : added)
                    {
                        object.erase(member);
                    }
                }
            }
        } undo{object, {}, false};
        detail::vector_for<basic_json, typename object_t::iterator> targets;
        undo.added.reserve(incoming.size());
        targets.reserve(incoming.size());
        for (const auto& member : incoming)
        {
            const auto target = object.emplace(*member.first, basic_json());
            targets.push_back(target.first);
            if (target.second)
            {
                undo.added.push_back(target.first);
            }
        }
        undo.committed = true;

        for (std::size_t i = 0; i < incoming.size(); ++i)
        {
            targets[i]->second = std::move(incoming[i].second);
        }
    }

  public:
    // -- traversal ------------------------------------------------------------
    // An array is walked over its elements, an object over its members in key
    // order (an iterator's key() and value(), and * gives the value). Null is
    // an empty range; a string, boolean or number a range of one element, the
    // value itself.

    /// The first element or member. Never throws.
    iterator begin() noexcept
    {
        return is_object() ? iterator(this, m_value.object->begin()) : iterator(this, difference_type(0));
    }

    /// The same, on a const value.
    const_iterator begin() const noexcept
    {
        return cbegin();
    }

    /// The same, always const.
    const_iterator cbegin() const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->cbegin()) : const_iterator(this, difference_type(0));
    }

    /// Past the last element or member. Never throws.
    iterator end() noexcept
    {
        return is_object() ? iterator(this, m_value.object->end())
                           : iterator(this, static_cast<difference_type>(size()));
    }

    /// The same, on a const value.
    const_iterator end() const noexcept
    {
        return cend();
    }

    /// The same, always const.
    const_iterator cend() const noexcept
    {
        return is_object() ? const_iterator(this, m_value.object->cend())
                           : const_iterator(this, static_cast<difference_type>(size()));
    }

    /// The last element or member, walking backwards. Never throws.
    reverse_iterator rbegin() noexcept
    {
        return reverse_iterator(end());
    }

    /// The same, on a const value.
    const_reverse_iterator rbegin() const noexcept
    {
        return crbegin();
    }

    /// The same, always const.
    const_reverse_iterator crbegin() const noexcept
    {
        return const_reverse_iterator(cend());
    }

    /// Before the first element or member, walking backwards. Never throws.
    reverse_iterator rend() noexcept
    {
        return reverse_iterator(begin());
    }

    /// The same, on a const value.
    const_reverse_iterator rend() const noexcept
    {
        return crend();
    }

    /// The same, always const.
    const_reverse_iterator crend() const noexcept
    {
        return const_reverse_iterator(cbegin());
    }

    /// For range-for over key/value entries, each with key() and value(),
    /// also as `auto& [key, value]` in C++17: the key is the member's key, an
    /// array element's index as text, or empty for any other value.
    /// Never throws.
    detail::item_range<iterator> items() noexcept
    {
        return detail::item_range<iterator>(begin(), end());
    }

    /// The same, on a const value.
    detail::item_range<const_iterator> items() const noexcept
    {
        return detail::item_range<const_iterator>(cbegin(), cend());
    }

    /// True when size() is 0: null, an empty object or array. Never throws.
    bool empty() const noexcept
    {
        return size() == 0;
    }

    /// The most elements or members the value's container can hold; size()
    /// for any other kind. Never throws.
    size_type max_size() const noexcept
    {
        switch (m_type)
        {
            case value_t::object:
                return m_value.object->max_size();
            case value_t::array:
                return m_value.array->max_size();
            case value_t::null:
            case value_t::string:
            case value_t::boolean:
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
            case value_t::discarded:
                break;
        }
        return size();
    }

    // -- by path --------------------------------------------------------------
    // A json_pointer names a value inside this one by the keys and indexes on
    // the way to it (RFC 6901); an array index is "0" or digits without a
    // leading zero, and "-" names the place after the last element. Patches
    // (RFC 6902), merge patches (RFC 7396) and flattened values are built on
    // it. Nothing here recurses on the depth of a value or a pointer.

    /// A path to a value inside a value.
    using json_pointer = basic_json_pointer<string_t>;

  private:
    /// The walks that access by pointer, patches, diff, merge patches and
    /// flattening share (patch.hpp).
    class path_walk;

  public:
    /// The value the pointer names; nothing is ever inserted. Throws
    /// out_of_range 404 for a missing member, 402 for an index past the end
    /// (and for "-"), type_error 313 for a token that meets a string,
    /// boolean, number or null, 314 for a token that is not an array index
    /// used on an array; each names the pointer up to the failing token.
    basic_json& at(const json_pointer& ptr)
    {
        return const_cast<basic_json&>(path_walk::at(*this, ptr));
    }

    /// The same, on a const value.
    const basic_json& at(const json_pointer& ptr) const
    {
        return path_walk::at(*this, ptr);
    }

    /// The value the pointer names, created with what leads to it when
    /// missing: a null becomes an object for a key and an array for an
    /// index, an array grows with nulls up to an index, and "-" appends.
    /// Throws type_error 313 for a token that meets a string, boolean or
    /// number, 314 for one that is not an array index used on an array,
    /// out_of_range 402 for an index no array can reach, and std::bad_alloc;
    /// the value is then as it was.
    basic_json& operator[](const json_pointer& ptr)
    {
        return path_walk::make(*this, ptr);
    }

    /// The value the pointer names, as at(ptr). Throws what at(ptr) throws.
    const basic_json& operator[](const json_pointer& ptr) const
    {
        return path_walk::at(*this, ptr);
    }

    /// True when the pointer names a value. Never throws.
    bool contains(const json_pointer& ptr) const noexcept
    {
        return path_walk::find(*this, ptr) != nullptr;
    }

    /// The value the pointer names read as the default's type, or the
    /// default when it names none. Throws what get throws for a value of
    /// another kind.
    template<typename ValueType, detail::enable_if_t<detail::is_readable<basic_json, ValueType>::value, int> = 0>
    ValueType value(const json_pointer& ptr, const ValueType& default_value) const
    {
        const basic_json* found = path_walk::find(*this, ptr);
        return found == nullptr ? default_value : found->template get<ValueType>();
    }

    /// The same with a text default: the value read as a string_t. Throws
    /// what get throws for a value that is not a string.
    string_t value(const json_pointer& ptr, const char* default_value) const
    {
        const basic_json* found = path_walk::find(*this, ptr);
        return found == nullptr ? detail::string_from_pointer<string_t>(default_value)
                                : found->template get<string_t>();
    }

    /// Removes the member or element the pointer names. Throws what at(ptr)
    /// throws when it names none, and other_error 503 for the empty pointer.
    void erase(const json_pointer& ptr)
    {
        path_walk::erase(*this, ptr);
    }

    /// The value with the JSON Patch `operations` applied, an array of
    /// operations done in order on a copy. Throws type_error 315 when
    /// `operations` is not an array; other_error 504 for an operation that
    /// is not an object or lacks a member it needs ("op", "path", "from" as
    /// strings holding pointers, "value"), 505 for an unknown op, 506 for a
    /// failed test (or a test of a path that names nothing), 507 for a move
    /// into the moved value's own child; out_of_range 405 for a path or
    /// from that names no value where the op needs one; std::bad_alloc.
    /// Each error names the index of the operation.
    basic_json patch(const basic_json& operations) const
    {
        basic_json result(*this);
        path_walk::apply(result, operations);
        return result;
    }

    /// Applies the JSON Patch to this value, all or nothing: the value is
    /// left as it was when any operation fails. Throws what patch throws.
    void patch_inplace(const basic_json& operations)
    {
        basic_json result = patch(operations);
        swap(result);
    }

    /// A JSON Patch that turns source into target: source.patch(diff(source,
    /// target)) == target. Objects are compared member by member and arrays
    /// element by element, with additions and removals at the end; written
    /// as text, it is never longer than a replace of the whole value.
    /// Throws std::bad_alloc.
    static basic_json diff(const basic_json& source, const basic_json& target)
    {
        return path_walk::diff(source, target);
    }

    /// Applies the merge patch (RFC 7396): an object patch sets its members
    /// in this value, made an object first when it is not, and removes those
    /// it sets to null, member by member down; any other patch replaces the
    /// value. Throws std::bad_alloc, leaving the value as it was.
    void merge_patch(const basic_json& patch)
    {
        basic_json result(*this);
        path_walk::merge(result, patch);
        swap(result);
    }

    /// An object whose keys are the pointer texts of every string, boolean,
    /// number, null, empty array and empty object in the value, each with
    /// that value. Throws std::bad_alloc.
    basic_json flatten() const
    {
        return path_walk::flatten(*this);
    }

    /// The value a flattened object stands for, each member's value put at
    /// the pointer its key spells, as operator[](ptr) would. Throws
    /// type_error 315 when the value is not an object, parse_error 106 and
    /// 107 for a key that is not a pointer, type_error 313 and 314 for keys
    /// that cannot both hold, and std::bad_alloc.
    basic_json unflatten() const
    {
        return path_walk::unflatten(*this);
    }

    // -- comparison -----------------------------------------------------------
    // Values of different kinds order by kind: null < boolean < number <
    // string < array < object < discarded. Numbers compare by mathematical
    // value across the three number kinds, exactly; strings byte by byte as
    // unsigned; arrays element by element and objects member by member (key,
    // then value) in key order, a prefix first. NaN is unordered, as in
    // double: unequal to everything, itself included, and neither less nor
    // greater, and so is a container that holds one where the walk reaches
    // it. A native value on either side is converted to a value first.
    // Nested values are walked with a stack of their own, not by recursion;
    // std::bad_alloc is the one error, when that stack cannot grow.

    /// True when the values are equal.
    friend bool operator==(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::equal;
    }

    /// True when the values are not equal.
    friend bool operator!=(const basic_json& left, const basic_json& right)
    {
        return not(left == right);
    }

    /// True when left orders before right.
    friend bool operator<(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::less;
    }

    /// True when left orders before or equals right.
    friend bool operator<=(const basic_json& left, const basic_json& right)
    {
        const ordering result = compare(left, right);
        return result == ordering::less or result == ordering::equal;
    }

    /// True when left orders after right.
    friend bool operator>(const basic_json& left, const basic_json& right)
    {
        return compare(left, right) == ordering::greater;
    }

    /// True when left orders after or equals right.
    friend bool operator>=(const basic_json& left, const basic_json& right)
    {
        const ordering result = compare(left, right);
        return result == ordering::greater or result == ordering::equal;
    }

#if defined(__cpp_impl_three_way_comparison) && defined(__cpp_lib_three_way_comparison)
    /// The order of the two values, as the operators above give it; NaN, and
    /// a container compared as far as one, is unordered.
    friend std::partial_ordering operator<=>(const basic_json& left, const basic_json& right)
    {
        switch (compare(left, right))
        {
            case ordering::less:
                return std::partial_ordering::less;
            case ordering::equal:
                return std::partial_ordering::equivalent;
            case ordering::greater:
                return std::partial_ordering::greater;
            case ordering::unordered:
                break;
        }
        return std::partial_ordering::unordered;
    }
#endif

  private:
    enum class ordering
    {
        less,
        equal,
        greater,
        unordered
    };

    /// Where a kind stands in the order between kinds; numbers share one place.
    static int kind_rank(value_t kind) noexcept
    {
        switch (kind)
        {
            case value_t::null:
                return 0;
            case value_t::boolean:
                return 1;
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                return 2;
            case value_t::string:
                return 3;
            case value_t::array:
                return 4;
            case value_t::object:
                return 5;
            case value_t::discarded:
                break;
        }
        return 6;
    }

    template<typename T>
    static ordering order_of(const T& left, const T& right) noexcept
    {
        if (left < right)
        {
            return ordering::less;
        }
        if (right < left)
        {
            return ordering::greater;
        }
        return left == right ? ordering::equal : ordering::unordered;
    }

    static ordering reversed(ordering result) noexcept
    {
        return result == ordering::less ? ordering::greater : result == ordering::greater ? ordering::less : result;
    }

    /// A signed integer against a floating-point number, exactly: the
    /// number's whole part is compared as an integer, then its fraction.
    static ordering order_of(number_integer_t left, number_float_t right) noexcept
    {
        // -2^63 and 2^63 are powers of two, so exact as floating-point numbers.
        const auto lowest = static_cast<number_float_t>(std::numeric_limits<number_integer_t>::min());
        if (std::isnan(right))
        {
            return ordering::unordered;
        }
        if (right < lowest)
        {
            return ordering::greater;
        }
        if (right >= -lowest)
        {
            return ordering::less;
        }
        const number_float_t whole = std::trunc(right);
        const ordering result = order_of(left, static_cast<number_integer_t>(whole));
        return result != ordering::equal ? result : order_of(whole, right);
    }

    /// The same for an unsigned integer.
    static ordering order_of(number_unsigned_t left, number_float_t right) noexcept
    {
        const number_float_t beyond =
            static_cast<number_float_t>(std::numeric_limits<number_unsigned_t>::max() / 2 + 1) * 2;
        if (std::isnan(right))
        {
            return ordering::unordered;
        }
        if (right < 0)
        {
            return ordering::greater;
        }
        if (right >= beyond)
        {
            return ordering::less;
        }
        const number_float_t whole = std::trunc(right);
        const ordering result = order_of(left, static_cast<number_unsigned_t>(whole));
        return result != ordering::equal ? result : order_of(whole, right);
    }

    static ordering order_of(number_integer_t left, number_unsigned_t right) noexcept
    {
        return left < 0 ? ordering::less : order_of(static_cast<number_unsigned_t>(left), right);
    }

    /// Two numbers of any kinds.
    static ordering compare_numbers(const basic_json& left, const basic_json& right) noexcept
    {
        const json_value& l = left.m_value;
        const json_value& r = right.m_value;
        switch (left.m_type)
        {
            case value_t::number_integer:
                return right.m_type == value_t::number_integer    ? order_of(l.number_integer, r.number_integer)
                       : right.m_type == value_t::number_unsigned ? order_of(l.number_integer, r.number_unsigned)
                                                                  : order_of(l.number_integer, r.number_float);
            case value_t::number_unsigned:
                if (right.m_type == value_t::number_integer)
                {
                    return reversed(order_of(r.number_integer, l.number_unsigned));
                }
                return right.m_type == value_t::number_unsigned ? order_of(l.number_unsigned, r.number_unsigned)
                                                                : order_of(l.number_unsigned, r.number_float);
            default:
                break;
        }
        return right.m_type == value_t::number_float      ? order_of(l.number_float, r.number_float)
               : right.m_type == value_t::number_integer ? reversed(order_of(r.number_integer, l.number_float))
                                                          : reversed(order_of(r.number_unsigned, l.number_float));
    }

    /// A pair of arrays or objects being compared, and how far.
    struct comparison_frame
    {
        const basic_json* left;
        const basic_json* right;
        size_type index;
        typename object_t::const_iterator left_member;
        typename object_t::const_iterator right_member;
    };

    /// Compares the values themselves; two arrays or two objects are put on
    /// open, to have their contents compared, and count as equal so far.
    static ordering compare_one(const basic_json& left, const basic_json& right,
                                detail::vector_for<basic_json, comparison_frame>& open)
    {
        const int left_rank = kind_rank(left.m_type);
        const int right_rank = kind_rank(right.m_type);
        if (left_rank != right_rank)
        {
            return order_of(left_rank, right_rank);
        }
        switch (left.m_type)
        {
            case value_t::object:
                open.push_back({&left, &right, 0, left.m_value.object->cbegin(), right.m_value.object->cbegin()});
                return ordering::equal;
            case value_t::array:
                open.push_back({&left, &right, 0, {}, {}});
                return ordering::equal;
            case value_t::string:
            {
                const int result = left.m_value.string->compare(*right.m_value.string);
                return order_of(result, 0);
            }
            case value_t::boolean:
                return order_of(left.m_value.boolean, right.m_value.boolean);
            case value_t::number_integer:
            case value_t::number_unsigned:
            case value_t::number_float:
                return compare_numbers(left, right);
            case value_t::null:
            case value_t::discarded:
                break;
        }
        return ordering::equal;
    }

    /// The whole comparison, depth first, with no recursion.
    static ordering compare(const basic_json& left, const basic_json& right)
    {
        detail::vector_for<basic_json, comparison_frame> open;
        ordering result = compare_one(left, right, open);
        while (result == ordering::equal and not open.empty())
        {
            comparison_frame& top = open.back();
            if (top.left->is_array())
            {
                const array_t& l = *top.left->m_value.array;
                const array_t& r = *top.right->m_value.array;
                if (top.index == l.size() or top.index == r.size())
                {
                    result = order_of(l.size(), r.size());
                    open.pop_back();
                    continue;
                }
                const size_type i = top.index++;
                result = compare_one(l[i], r[i], open); // may move top
                continue;
            }
            if (top.left_member == top.left->m_value.object->cend() or
                top.right_member == top.right->m_value.object->cend())
            {
                result = order_of(top.left->size(), top.right->size());
                open.pop_back();
                continue;
            }
            const auto l = top.left_member++;
            const auto r = top.right_member++;
            result = order_of(l->first.compare(r->first), 0);
            if (result == ordering::equal)
            {
                result = compare_one(l->second, r->second, open); // may move top
            }
        }
        return result;
    }

  public:

    // -- typed access ---------------------------------------------------------

    /// A pointer to the stored scalar, string or container, or nullptr when
    /// the value holds another kind. An integer pointer also reaches an
    /// unsigned number, read as signed. Never throws.
    template<typename PointerType, detail::enable_if_t<std::is_pointer<PointerType>::value, int> = 0>
    PointerType get_ptr() noexcept
    {
        return get_impl_ptr(static_cast<PointerType>(nullptr));
    }

    /// The same, on a const value: only pointers to const.
    template<typename PointerType,
             detail::enable_if_t<std::is_pointer<PointerType>::value and
                                     std::is_const<typename std::remove_pointer<PointerType>::type>::value,
                                 int> = 0>
    PointerType get_ptr() const noexcept
    {
        return get_impl_ptr(static_cast<PointerType>(nullptr));
    }

    /// A reference to what get_ptr would point to.
    /// Throws type_error 303 when the value holds another kind; the value is unchanged.
    template<typename ReferenceType, detail::enable_if_t<std::is_reference<ReferenceType>::value, int> = 0>
    ReferenceType get_ref()
    {
        return get_ref_impl<ReferenceType>(*this);
    }

    /// The same, on a const value: only references to const.
    template<typename ReferenceType,
             detail::enable_if_t<std::is_reference<ReferenceType>::value and
                                     std::is_const<typename std::remove_reference<ReferenceType>::type>::value,
                                 int> = 0>
    ReferenceType get_ref() const
    {
        return get_ref_impl<ReferenceType>(*this);
    }

    // -- reading out ----------------------------------------------------------

    /// The value read as a ValueType, through json_serializer<ValueType>::from_json:
    /// bool, every integer and floating-point type, string_t, std::nullptr_t,
    /// basic_json, object_t, array_t, the standard sequences and sets, a
    /// std::array of the same size, maps from string_t, std::pair,
    /// std::tuple, std::optional (empty for null), and types with a from_json
    /// of their own. Throws type_error 302 when the value is of another kind,
    /// out_of_range 406 for a number the type cannot hold exactly, out_of_range
    /// 407 for an array of another size than a fixed-size target, and
    /// std::bad_alloc. An error of the library that escapes carries the path
    /// of the element or member that failed (exception::path()).
    template<typename ValueType, typename U = detail::uncvref_t<ValueType>,
             detail::enable_if_t<std::is_same<ValueType, U>::value, int> = 0,
             typename = decltype(json_serializer<U>::from_json(std::declval<const basic_json&>(), std::declval<U&>()))>
    U get() const
    {
        U result{};
        detail::read_whole(*this, result);
        return result;
    }

    /// Reads the value into target, as get<ValueType>() would: into a fresh
    /// ValueType, moved into target once read, so a failure leaves target as
    /// it was. Returns target. Throws what get does.
    template<typename ValueType, typename = decltype(json_serializer<ValueType>::from_json(
                                     std::declval<const basic_json&>(), std::declval<ValueType&>()))>
    ValueType& get_to(ValueType& target) const
    {
        target = get<ValueType>();
        return target;
    }

    /// The member with this key read as the default's type, or the default
    /// when there is no such member. The key is anything string_t is made
    /// from; object_t orders keys with std::less<string_t>, so a string_t key
    /// is looked up as it is and any other is copied into a string_t once.
    /// Throws type_error 306 when the value is not an object, other_error 501
    /// for a null character pointer, and what get throws for a member of
    /// another kind, its path starting with the key.
    template<typename KeyType, typename ValueType,
             detail::enable_if_t<detail::is_key<string_t, KeyType>::value and
                                     detail::is_readable<basic_json, ValueType>::value,
                                 int> = 0>
    ValueType value(const KeyType& key, const ValueType& default_value) const
    {
        const basic_json* member = member_or_null(key);
        if (member == nullptr)
        {
            return default_value;
        }
        ValueType result{};
        detail::read_whole(*member, result, key);
        return result;
    }

    /// The same with a text default: the member read as a string_t. Throws
    /// as value(key, default) does.
    template<typename KeyType, detail::enable_if_t<detail::is_key<string_t, KeyType>::value, int> = 0>
    string_t value(const KeyType& key, const char* default_value) const
    {
        const basic_json* member = member_or_null(key);
        if (member == nullptr)
        {
            return string_t(default_value);
        }
        string_t result;
        detail::read_whole(*member, result, key);
        return result;
    }

    // -- output ---------------------------------------------------------------

    /// The value as JSON text: indented by `indent` spaces a level when indent
    /// is greater than 0, compact otherwise; each double with the fewest
    /// digits that read back as it, so that parse(dump()) equals the value.
    /// Throws std::bad_alloc, and type_error 321 for a discarded value
    /// anywhere in the value.
    string_t dump(int indent = -1) const
    {
        dump_options options;
        options.indent = indent;
        return dump(options);
    }

    /// The value as JSON text written as options say. Throws what dump(indent)
    /// throws, type_error 316 for a string that is not valid UTF-8 under
    /// utf8_policy::error, and out_of_range 408 past max_length.
    string_t dump(const dump_options& options) const
    {
        string_t text;
        dump_to(text, options);
        return text;
    }

    /// Appends the value as JSON text to `text`, whose capacity is reused;
    /// `text` may be a string inside the value, which is then written as it
    /// was before the call. Throws what dump(options) throws; `text` then
    /// has its old length again.
    void dump_to(string_t& text, const dump_options& options = {}) const
    {
        writer w(options, text);
        w.write(*this);
    }

    /// Writes the value as JSON text onto `stream` in chunks of
    /// writer::chunk_size bytes, one unformatted write each, without holding
    /// the whole text. The stream's width and formatting are ignored. Writing
    /// stops at the first write that leaves the stream not good(), the bytes
    /// before it written; nothing is written to a stream that is not good().
    /// Throws what dump(options) throws, and whatever the stream throws; the
    /// text written before a throw stays written. Returns the stream.
    std::ostream& dump_to(std::ostream& stream, const dump_options& options = {}) const
    {
        writer w(options, stream);
        w.write(*this);
        return stream;
    }

    // -- reading text ---------------------------------------------------------

    /// The callbacks parse_events makes, each doing nothing and letting the
    /// parse go on: derive from it and hide the ones you need. A callback that
    /// returns false stops the parse there.
    struct event_handler
    {
        /// `null`.
        bool null_value()
        {
            return true;
        }

        /// `true` or `false`.
        bool boolean_value(boolean_t /*unused*/)
        {
            return true;
        }

        /// Integer text that fits number_integer_t.
        bool integer_value(number_integer_t /*unused*/)
        {
            return true;
        }

        /// Integer text that fits only number_unsigned_t.
        bool unsigned_value(number_unsigned_t /*unused*/)
        {
            return true;
        }

        /// Any other number, correctly rounded.
        bool float_value(number_float_t /*unused*/)
        {
            return true;
        }

        /// A string value, decoded to UTF-8; the handler may move from it.
        bool string_value(string_t& /*unused*/)
        {
            return true;
        }

        /// The key of the member whose value comes next; may be moved from.
        bool object_key(string_t& /*unused*/)
        {
            return true;
        }

        /// `{`; its members follow, then end_object.
        bool begin_object()
        {
            return true;
        }

        /// `}`.
        bool end_object()
        {
            return true;
        }

        /// `[`; its elements follow, then end_array.
        bool begin_array()
        {
            return true;
        }

        /// `]`.
        bool end_array()
        {
            return true;
        }
    };

    /// The value the JSON text holds; see parse_options for what is read.
    /// Throws parse_error (101 not JSON, 102 too deep, 103 number out of
    /// range, 104 repeated key under the reject policy) and std::bad_alloc;
    /// nothing is left behind when it throws.
    static basic_json parse(const string_t& text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL. Throws other_error 501 for a
    /// null pointer, and what parse(string_t) throws.
    static basic_json parse(const char* text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text. Throws what parse(string_t) throws.
    static basic_json parse(std::string_view text, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last) of input iterators over char,
    /// signed char or unsigned char. Throws what parse(string_t) throws, and
    /// whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static basic_json parse(InputIterator first, InputIterator last, parse_options options = parse_options())
    {
        return detail::parse_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, which must be one value and
    /// whitespace, read as a formatted extractor reads: eofbit is set once the
    /// end is seen, failbit before the parse_error of text that is not JSON.
    /// Throws what parse(string_t) throws, and parse_error 105 for a stream
    /// not good() before (failbit is set) or whose buffer throws (badbit is
    /// set; with badbit in the exceptions mask the buffer's exception passes
    /// instead). The mask's ios_base::failure comes for the other bits.
    static basic_json parse(std::istream& stream, parse_options options = parse_options())
    {
        return detail::parse_stream<basic_json>(stream, options);
    }

    /// Whether parse would read the text with these options; builds no value
    /// and throws nothing for any text. Only the reject policy for repeated
    /// keys keeps the keys, and so may throw std::bad_alloc.
    static bool accept(const string_t& text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    static bool accept(const char* text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    static bool accept(std::string_view text, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last); throws whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static bool accept(InputIterator first, InputIterator last, parse_options options = parse_options())
    {
        return detail::accept_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, with its bits set as parse sets
    /// them: false, with failbit, for text that is not JSON or a stream not
    /// good() before; false, with badbit, when its buffer throws. Throws
    /// only what the exceptions mask asks for (ios_base::failure, or the
    /// buffer's exception for badbit), and std::bad_alloc as accept(string_t).
    static bool accept(std::istream& stream, parse_options options = parse_options())
    {
        return detail::accept_stream<basic_json>(stream, options);
    }

    /// Reads the text as parse does but builds nothing: reports each value,
    /// key and bracket to handler (see event_handler) as it is read. Returns
    /// true when the whole text was read, false when a callback stopped it.
    /// Throws parse_error as parse does (but never 104: the handler sees every
    /// key), std::bad_alloc, and whatever the handler throws.
    template<typename Handler>
    static bool parse_events(const string_t& text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    template<typename Handler>
    static bool parse_events(const char* text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    template<typename Handler>
    static bool parse_events(std::string_view text, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(text, handler, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, typename Handler,
             detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static bool parse_events(InputIterator first, InputIterator last, Handler& handler,
                             parse_options options = parse_options())
    {
        return detail::read_events<basic_json>(std::make_pair(std::move(first), std::move(last)), handler, options);
    }

    /// The same, for the rest of the stream, with its bits set and errors
    /// thrown as parse(std::istream&) does; the handler's exceptions pass
    /// unchanged, after failbit is set. A handler that stops leaves the stream
    /// good, just after the token it stopped at.
    template<typename Handler>
    static bool parse_events(std::istream& stream, Handler& handler, parse_options options = parse_options())
    {
        return detail::read_stream_events<basic_json>(stream, handler, options);
    }

    // -- reading without throwing, and with a filter ---------------------------

    /// Reads the text as parse does, but an error comes back in the result
    /// (its id, place and what()) instead of being thrown, also when built
    /// with -fno-exceptions; the value is then null. Never throws
    /// parse_error; throws std::bad_alloc.
    static parse_result<basic_json> try_parse(const string_t& text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    static parse_result<basic_json> try_parse(const char* text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    static parse_result<basic_json> try_parse(std::string_view text, parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(text, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value, int> = 0>
    static parse_result<basic_json> try_parse(InputIterator first, InputIterator last,
                                              parse_options options = parse_options())
    {
        return detail::try_parse_source<basic_json>(std::make_pair(std::move(first), std::move(last)), options);
    }

    /// The same, for the rest of the stream, with its bits set as parse sets
    /// them; a stream not good() before, or whose buffer throws, is error
    /// 105. Throws only what the exceptions mask asks for (ios_base::failure,
    /// or the buffer's exception for badbit), and std::bad_alloc.
    static parse_result<basic_json> try_parse(std::istream& stream, parse_options options = parse_options())
    {
        return detail::try_parse_stream<basic_json>(stream, options);
    }

    /// Reads the text as parse does, keeping only the values filter keeps:
    /// filter(const filter_event&) is called for each array and object as it
    /// opens and for each value once it is read (an array or object: built),
    /// and returns false to drop it. A dropped member or element is not in
    /// the result at all, a dropped array or object is not built, and a
    /// dropped whole text leaves null. Throws what parse throws, and
    /// whatever the filter throws.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(const string_t& text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }

    /// The same, for the text up to the NUL; throws other_error 501 for a null pointer.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(const char* text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }

#if defined(__cpp_lib_string_view)
    /// The same, for a view of the text.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(std::string_view text, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(text, filter, options);
    }
#endif

    /// The same, for the bytes [first, last); also throws whatever the iterators throw.
    template<typename InputIterator, typename Filter,
             detail::enable_if_t<detail::is_byte_iterator<InputIterator>::value and detail::is_filter<Filter>::value,
                                 int> = 0>
    static basic_json parse(InputIterator first, InputIterator last, Filter filter,
                            parse_options options = parse_options())
    {
        return detail::parse_filtered_source<basic_json>(std::make_pair(std::move(first), std::move(last)), filter,
                                                         options);
    }

    /// The same, for the rest of the stream, as parse(std::istream&) reads it.
    template<typename Filter, detail::enable_if_t<detail::is_filter<Filter>::value, int> = 0>
    static basic_json parse(std::istream& stream, Filter filter, parse_options options = parse_options())
    {
        return detail::parse_filtered_stream<basic_json>(stream, filter, options);
    }

  private:
    /// The member value(key, ...) reads, or nullptr. Throws type_error 306
    /// when the value is not an object, before the key is copied.
    template<typename KeyType>
    const basic_json* member_or_null(const KeyType& key) const
    {
        if (not is_object())
        {
            throw_kind_error(detail::error::cannot_use_value);
        }
        const auto member = m_value.object->find(key_text(key));
        return member == m_value.object->end() ? nullptr : &member->second;
    }

    static const string_t& key_text(const string_t& key) noexcept
    {
        return key;
    }

    static string_t key_text(const char* key)
    {
        return detail::string_from_pointer<string_t>(key);
    }

    template<typename KeyType, detail::enable_if_t<not std::is_convertible<const KeyType&, const char*>::value and
                                                       not std::is_same<KeyType, string_t>::value,
                                                   int> = 0>
    static string_t key_text(const KeyType& key)
    {
        return string_t(key);
    }

    // One overload per member type, chosen by the type of the null pointer
    // passed in; a non-const value lends the const ones its own constness.

    template<typename T>
    T* get_impl_ptr(T* /*unused*/) noexcept
    {
        return const_cast<T*>(static_cast<const basic_json&>(*this).get_impl_ptr(static_cast<const T*>(nullptr)));
    }

    const object_t* get_impl_ptr(const object_t* /*unused*/) const noexcept
    {
        return is_object() ? m_value.object : nullptr;
    }

    const array_t* get_impl_ptr(const array_t* /*unused*/) const noexcept
    {
        return is_array() ? m_value.array : nullptr;
    }

    const string_t* get_impl_ptr(const string_t* /*unused*/) const noexcept
    {
        return is_string() ? m_value.string : nullptr;
    }

    const boolean_t* get_impl_ptr(const boolean_t* /*unused*/) const noexcept
    {
        return is_boolean() ? &m_value.boolean : nullptr;
    }

    const number_integer_t* get_impl_ptr(const number_integer_t* /*unused*/) const noexcept
    {
        return is_number_integer() ? &m_value.number_integer : nullptr;
    }

    const number_unsigned_t* get_impl_ptr(const number_unsigned_t* /*unused*/) const noexcept
    {
        return is_number_unsigned() ? &m_value.number_unsigned : nullptr;
    }

    const number_float_t* get_impl_ptr(const number_float_t* /*unused*/) const noexcept
    {
        return is_number_float() ? &m_value.number_float : nullptr;
    }

    template<typename ReferenceType, typename ThisType>
    static ReferenceType get_ref_impl(ThisType& obj)
    {
        using PointerType = typename std::add_pointer<ReferenceType>::type;
        auto* ptr = obj.template get_ptr<PointerType>();
        if (ptr != nullptr)
        {
            return *ptr;
        }
        detail::throw_error(detail::error::wrong_reference_type, {obj.type_name()});
    }

    value_t m_type = value_t::null;
    json_value m_value = {};
};

} // namespace quarrow

#endif // QUARROW_BASIC_JSON_HPP
