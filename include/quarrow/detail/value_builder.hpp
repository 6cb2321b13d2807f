// The handler that builds a value from the reader's events.

#ifndef QUARROW_DETAIL_VALUE_BUILDER_HPP
#define QUARROW_DETAIL_VALUE_BUILDER_HPP

namespace quarrow
{
namespace detail
{

/// The handler that builds a value: each object is made in its place in the
/// tree as it opens; an array's elements wait on a stack shared by all open
/// arrays, and it is made whole as it closes, in one allocation of its size.
template<typename BasicJsonType>
class value_builder
{
    using object_t = typename BasicJsonType::object_t;
    using array_t = typename BasicJsonType::array_t;
    using string_t = typename BasicJsonType::string_t;

  public:
    value_builder(BasicJsonType& result, const duplicate_key_policy policy_) noexcept
        : policy(policy_), slot(&result)
    {}

    /// True when the parse stopped at a key the reject policy refused.
    bool duplicate_key() const noexcept
    {
        return duplicate;
    }

    bool null_value()
    {
        return scalar();
    }

    bool boolean_value(const typename BasicJsonType::boolean_t b)
    {
        return scalar(b);
    }

    bool integer_value(const typename BasicJsonType::number_integer_t n)
    {
        return scalar(n);
    }

    bool unsigned_value(const typename BasicJsonType::number_unsigned_t n)
    {
        return scalar(n);
    }

    QUARROW_ALWAYS_INLINE bool float_value(const typename BasicJsonType::number_float_t x)
    {
        return scalar(x);
    }

    /// Copied, not moved: the copy is one allocation of the exact size,
    /// and the parser's buffer keeps its capacity for the next string.
    bool string_value(string_t& s)
    {
        place(static_cast<const string_t&>(s));
        return true;
    }

    /// A string value from its bytes.
    bool string_value(const char* first, const std::size_t length)
    {
        if (next != destination::nowhere)
        {
            BasicJsonType value(detail::value_t::string);
            value.template get_ref<string_t&>().assign(first, length);
            place(std::move(value));
        }
        else
        {
            skip();
        }
        return true;
    }

    bool object_key(string_t& key)
    {
        // The key is copied, so it is still there for the message of 104.
        return add_key(static_cast<const string_t&>(key));
    }

    /// A key from its bytes.
    bool object_key(const char* first, const std::size_t length)
    {
        return add_key(first, length);
    }

    bool begin_object()
    {
        return begin(detail::value_t::object);
    }

    bool begin_array()
    {
        return begin(detail::value_t::array);
    }

    bool end_object()
    {
        if (next == destination::nowhere)
        {
            return end_dropped();
        }
        next = open.back().target != nullptr ? destination::slot : destination::elements;
        open.pop_back();
        return true;
    }

    /// The array made whole from its elements, in one allocation of its size.
    QUARROW_ALWAYS_INLINE bool end_array()
    {
        if (next == destination::nowhere)
        {
            return end_dropped();
        }
        const level& closing = open.back();
        const std::size_t first = closing.first;
        BasicJsonType* const target = closing.target;
        open.pop_back();
        next = target != nullptr ? destination::slot : destination::elements;
        array_t items(std::make_move_iterator(elements.at(first)), std::make_move_iterator(elements.end()));
        elements.drop_moved(first);
        if (target != nullptr)
        {
            *target = BasicJsonType(std::move(items));
        }
        else
        {
            elements.push(std::move(items)); // made in place, where its first element was
        }
        return true;
    }

    /// Whether the reject policy refuses the key in the innermost object,
    /// as object_key would; the parse is then to stop there.
    bool refuses_key(const string_t& key)
    {
        duplicate = policy == duplicate_key_policy::reject and next != destination::nowhere and
                    open.back().object->find(key) != open.back().object->end();
        return duplicate;
    }

    /// Ends the innermost array or object and drops it, so that it leaves no
    /// trace: the member of `key` in the enclosing object, the element of
    /// the enclosing array, or the root, which becomes null.
    bool end_and_drop(const string_t& key)
    {
        if (next == destination::nowhere)
        {
            return end_dropped(); // dropped by the policy already
        }
        const level closing = open.back();
        open.pop_back();
        if (closing.object == nullptr)
        {
            elements.destroy_from(closing.first);
        }
        if (closing.target == nullptr)
        {
            if (closing.object != nullptr)
            {
                elements.destroy_from(elements.size() - 1); // the object, made on the stack as it opened
            }
            next = destination::elements;
            return true;
        }
        next = destination::slot;
        if (open.empty())
        {
            *closing.target = BasicJsonType();
        }
        else
        {
            open.back().object->erase(key);
        }
        return true;
    }

  private:
    /// A member with a key made from `key` and a null value, as the policy says.
    template<typename... Key>
    bool add_key(Key&&... key)
    {
        if (next == destination::nowhere)
        {
            return true;
        }
        object_t& object = *open.back().object;
        const auto inserted = object.emplace(std::piecewise_construct, std::forward_as_tuple(std::forward<Key>(key)...),
                                             std::forward_as_tuple());
        slot = &inserted.first->second;
        if (inserted.second)
        {
            return true;
        }
        switch (policy)
        {
            case duplicate_key_policy::last_wins:
                *slot = BasicJsonType();
                break;
            case duplicate_key_policy::first_wins:
                next = destination::nowhere;
                break;
            case duplicate_key_policy::reject:
                duplicate = true;
                return false;
        }
        return true;
    }

    /// A scalar made from `native` (null from nothing) where it goes.
    template<typename... Native>
    QUARROW_ALWAYS_INLINE bool scalar(const Native... native)
    {
        place(native...);
        return true;
    }

    /// Where a value goes, made there from `args`: an open array's elements
    /// or `slot`, the root or the member whose key came last; null for a
    /// value that is dropped. The address is good until the next value.
    template<typename... Args>
    QUARROW_ALWAYS_INLINE BasicJsonType* place(Args&&... args)
    {
        if (next == destination::elements)
        {
            return elements.push(std::forward<Args>(args)...);
        }
        if (next == destination::slot)
        {
            *slot = BasicJsonType(std::forward<Args>(args)...);
            return slot;
        }
        skip();
        return nullptr;
    }

    /// A dropped scalar, or a dropped array or object closing: once the
    /// whole dropped value is read, values go to the object's members again.
    void skip() noexcept
    {
        if (skipped_depth == 0)
        {
            next = destination::slot;
        }
    }

    bool begin(const detail::value_t kind)
    {
        if (next == destination::nowhere)
        {
            ++skipped_depth;
            return true;
        }
        if (kind == detail::value_t::array)
        {
            open.push_back({nullptr, elements.size(), next == destination::slot ? slot : nullptr});
            next = destination::elements;
            return true;
        }
        // The map stays where it is while its value moves on the stack.
        object_t* const object = place(BasicJsonType(kind))->template get_ptr<object_t*>();
        open.push_back({object, 0, next == destination::slot ? slot : nullptr});
        next = destination::slot;
        return true;
    }

    /// An array or object inside a dropped value closing.
    bool end_dropped() noexcept
    {
        --skipped_depth;
        skip();
        return true;
    }

    /// The elements of the open arrays, in storage of its own so that a push
    /// is a bounds check and a construction in place, and the moved-from
    /// elements of a closed array leave without a destructor call each.
    class element_stack
    {
      public:
        element_stack() = default;
        element_stack(const element_stack&) = delete;
        element_stack& operator=(const element_stack&) = delete;

        ~element_stack()
        {
            release();
        }

        /// The element made from `args` on top. Throws std::bad_alloc and
        /// what the construction throws; the stack is then as it was.
        template<typename... Args>
        QUARROW_ALWAYS_INLINE BasicJsonType* push(Args&&... args)
        {
            if (top == limit)
            {
                grow();
            }
            traits::construct(alloc, top, std::forward<Args>(args)...);
            return top++;
        }

        std::size_t size() const noexcept
        {
            return static_cast<std::size_t>(top - base);
        }

        BasicJsonType* at(const std::size_t index) const noexcept
        {
            return base + index;
        }

        BasicJsonType* end() const noexcept
        {
            return top;
        }

        /// Removes the elements from `index` on, which were all moved from:
        /// a moved-from value is null and owns nothing, so its storage is
        /// reused without its destructor being run.
        void drop_moved(const std::size_t index) noexcept
        {
            top = base + index;
        }

        /// Destroys the elements from `index` on.
        void destroy_from(const std::size_t index) noexcept
        {
            while (size() != index)
            {
                traits::destroy(alloc, --top);
            }
        }

      private:
        using allocator = allocator_for<BasicJsonType, BasicJsonType>;
        using traits = std::allocator_traits<allocator>;

        /// Destroys every element and gives the storage back.
        void release() noexcept
        {
            while (top != base)
            {
                traits::destroy(alloc, --top);
            }
            if (base != nullptr)
            {
                traits::deallocate(alloc, base, static_cast<std::size_t>(limit - base));
            }
        }

        /// Twice the room, the elements moved there. Out of line: it is rare.
        QUARROW_NOINLINE void grow()
        {
            const std::size_t count = size();
            const std::size_t capacity = count == 0 ? 64 : 2 * count;
            BasicJsonType* const room = traits::allocate(alloc, capacity);
            for (std::size_t i = 0; i != count; ++i)
            {
                traits::construct(alloc, room + i, std::move(base[i]));
            }
            release();
            base = room;
            top = room + count;
            limit = room + capacity;
        }

        allocator alloc;
        BasicJsonType* base = nullptr;
        BasicJsonType* top = nullptr;
        BasicJsonType* limit = nullptr;
    };

    /// Where the next value goes: one test per value on the way there.
    enum class destination : unsigned char
    {
        slot,     // the root, or the member whose key came last
        elements, // the innermost open array's elements
        nowhere   // dropped: the value of a key the first_wins policy refused, with what it holds
    };

    /// An open array or object.
    struct level
    {
        object_t* object;      // null for an array
        std::size_t first;     // where an array's elements start on `elements`
        BasicJsonType* target; // its slot (an array is made there as it closes); null in an array
    };

    const duplicate_key_policy policy;
    vector_for<BasicJsonType, level> open;
    element_stack elements; // of the open arrays, the innermost last
    BasicJsonType* slot;    // the root, then the member whose value comes next
    destination next = destination::slot;
    std::size_t skipped_depth = 0; // open arrays and objects inside a dropped value
    bool duplicate = false;
};

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_VALUE_BUILDER_HPP
