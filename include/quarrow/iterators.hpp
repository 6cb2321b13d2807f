// Iterators: walking an array, an object or a scalar, every step checked.

#ifndef QUARROW_ITERATORS_HPP
#define QUARROW_ITERATORS_HPP

namespace quarrow
{
namespace detail
{

template<typename Iterator>
class item;

/// A random-access iterator over a value of type BasicJsonType (const for the
/// const iterator). Arrays and other non-objects are walked by position, so
/// an iterator checks itself against the current size; objects by member.
/// Changing a value invalidates its iterators as the underlying container's
/// own are invalidated; an iterator bound to a value that has died is unusable.
template<typename BasicJsonType>
class value_iterator
{
    template<typename>
    friend class value_iterator;
    template<typename>
    friend class item;
    friend typename std::remove_const<BasicJsonType>::type;

    using object_t = typename BasicJsonType::object_t;
    using member_iterator = typename std::conditional<std::is_const<BasicJsonType>::value,
                                                      typename object_t::const_iterator,
                                                      typename object_t::iterator>::type;

  public:
    using iterator_category = std::random_access_iterator_tag;
    using value_type = typename std::remove_const<BasicJsonType>::type;
    using difference_type = std::ptrdiff_t;
    using pointer = BasicJsonType*;
    using reference = BasicJsonType&;

    /// Bound to no value: only assignment and comparison with another unbound
    /// iterator work; anything else throws invalid_iterator 214.
    value_iterator() noexcept = default;

    /// The iterator converts to the const iterator. Never throws.
    template<typename Other,
             enable_if_t<std::is_same<const Other, BasicJsonType>::value and
                             not std::is_same<Other, BasicJsonType>::value,
                         int> = 0>
    value_iterator(const value_iterator<Other>& other) noexcept
        : m_container(other.m_container), m_member(other.m_member), m_index(other.m_index)
    {}

    /// The element or member value pointed to. Throws invalid_iterator 212 at
    /// the end or outside the range, 214 when unbound.
    reference operator*() const
    {
        check_bound();
        if (m_container->is_object())
        {
            if (m_member == m_container->m_value.object->end())
            {
                throw_error(error::dereference_of_no_element);
            }
            return m_member->second;
        }
        if (m_index < 0 or static_cast<std::size_t>(m_index) >= m_container->size())
        {
            throw_error(error::dereference_of_no_element);
        }
        if (m_container->is_array())
        {
            return (*m_container->m_value.array)[static_cast<std::size_t>(m_index)];
        }
        return *m_container;
    }

    /// Throws what operator* throws.
    pointer operator->() const
    {
        return &**this;
    }

    /// The next position. Throws invalid_iterator 213 past the end, 214 when unbound.
    value_iterator& operator++()
    {
        return step(1);
    }

    /// Throws what the prefix form throws.
    value_iterator operator++(int)
    {
        const value_iterator result = *this;
        step(1);
        return result;
    }

    /// The previous position. Throws invalid_iterator 213 before the beginning, 214 when unbound.
    value_iterator& operator--()
    {
        return step(-1);
    }

    /// Throws what the prefix form throws.
    value_iterator operator--(int)
    {
        const value_iterator result = *this;
        step(-1);
        return result;
    }

    /// Moves by n positions. Throws invalid_iterator 208 on an object, 213
    /// when the result would lie outside [begin, end], 214 when unbound.
    value_iterator& operator+=(difference_type n)
    {
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::offset_of_object_iterator);
        }
        return step(n);
    }

    /// Throws what operator+= throws.
    value_iterator& operator-=(difference_type n)
    {
        if (n == std::numeric_limits<difference_type>::min()) // no value is that long, and -n would overflow
        {
            check_bound();
            throw_error(m_container->is_object() ? error::offset_of_object_iterator : error::move_out_of_range);
        }
        return *this += -n;
    }

    /// Throws what operator+= throws.
    value_iterator operator+(difference_type n) const
    {
        value_iterator result = *this;
        return result += n;
    }

    /// Throws what operator+= throws.
    friend value_iterator operator+(difference_type n, const value_iterator& it)
    {
        return it + n;
    }

    /// Throws what operator+= throws.
    value_iterator operator-(difference_type n) const
    {
        value_iterator result = *this;
        return result -= n;
    }

    /// The number of steps from other to this one; on an object it walks the
    /// members, so it costs their number. Throws invalid_iterator 201 for
    /// iterators of different values, 214 when unbound.
    template<typename Other>
    difference_type operator-(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        check_bound();
        if (not m_container->is_object())
        {
            return m_index - other.m_index;
        }
        const typename object_t::const_iterator end = m_container->m_value.object->end();
        difference_type count = 0;
        for (typename object_t::const_iterator i = other.m_member;; ++i, ++count)
        {
            if (i == m_member)
            {
                return count;
            }
            if (i == end)
            {
                break;
            }
        }
        // Not after other, so before it.
        count = 0;
        for (typename object_t::const_iterator i = m_member; i != other.m_member; ++i)
        {
            --count;
        }
        return count;
    }

    /// *(it + n). Throws invalid_iterator 209 on an object, and what + and * throw.
    reference operator[](difference_type n) const
    {
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::index_of_object_iterator);
        }
        return *(*this + n);
    }

    /// Same position of the same value. Throws invalid_iterator 201 for
    /// iterators of different values (an unbound one included, unless both are).
    template<typename Other>
    bool operator==(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        if (m_container == nullptr)
        {
            return true;
        }
        return m_container->is_object() ? m_member == other.m_member : m_index == other.m_index;
    }

    /// Throws what operator== throws.
    template<typename Other>
    bool operator!=(const value_iterator<Other>& other) const
    {
        return not(*this == other);
    }

    /// Position order. Throws invalid_iterator 201 for iterators of different
    /// values, 207 on an object, 214 when unbound.
    template<typename Other>
    bool operator<(const value_iterator<Other>& other) const
    {
        check_same_value(other);
        check_bound();
        if (m_container->is_object())
        {
            throw_error(error::order_of_object_iterators);
        }
        return m_index < other.m_index;
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator<=(const value_iterator<Other>& other) const
    {
        return not(other < *this);
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator>(const value_iterator<Other>& other) const
    {
        return other < *this;
    }

    /// Throws what operator< throws.
    template<typename Other>
    bool operator>=(const value_iterator<Other>& other) const
    {
        return not(*this < other);
    }

    /// The key of the member pointed to. Throws invalid_iterator 206 when the
    /// value is not an object, 212 at the end, 214 when unbound.
    const typename BasicJsonType::string_t& key() const
    {
        check_bound();
        if (not m_container->is_object())
        {
            throw_error(error::key_of_non_object_iterator);
        }
        if (m_member == m_container->m_value.object->end())
        {
            throw_error(error::dereference_of_no_element);
        }
        return m_member->first;
    }

    /// The same as operator*.
    reference value() const
    {
        return **this;
    }

  private:
    value_iterator(BasicJsonType* container, member_iterator member) noexcept
        : m_container(container), m_member(member)
    {}

    value_iterator(BasicJsonType* container, difference_type index) noexcept
        : m_container(container), m_index(index)
    {}

    void check_bound() const
    {
        if (m_container == nullptr)
        {
            throw_error(error::unbound_iterator);
        }
    }

    template<typename Other>
    void check_same_value(const value_iterator<Other>& other) const
    {
        if (m_container != other.m_container)
        {
            throw_error(error::iterators_of_different_values);
        }
    }

    /// Moves by n, which is 1 or -1 on an object.
    value_iterator& step(difference_type n)
    {
        check_bound();
        if (m_container->is_object())
        {
            const auto& object = *m_container->m_value.object;
            if ((n > 0 and m_member == object.end()) or (n < 0 and m_member == object.begin()))
            {
                throw_error(error::move_out_of_range);
            }
            if (n > 0)
            {
                ++m_member;
            }
            else
            {
                --m_member;
            }
            return *this;
        }
        const auto size = static_cast<difference_type>(m_container->size());
        // Checked without forming m_index + n, which could overflow.
        if ((n < 0 and n < -m_index) or (n > 0 and size - m_index < n))
        {
            throw_error(error::move_out_of_range);
        }
        m_index += n;
        return *this;
    }

    BasicJsonType* m_container = nullptr;
    member_iterator m_member{};
    difference_type m_index = 0;
};

/// A reverse iterator over a value that also offers key() and value().
template<typename Base>
class reverse_value_iterator : public std::reverse_iterator<Base>
{
  public:
    using std::reverse_iterator<Base>::reverse_iterator;

    /// Throws what Base's operator-- throws.
    reverse_value_iterator& operator++()
    {
        std::reverse_iterator<Base>::operator++();
        return *this;
    }

    /// Throws what Base's operator-- throws.
    reverse_value_iterator operator++(int)
    {
        const reverse_value_iterator result = *this;
        ++*this;
        return result;
    }

    /// Throws what Base's operator++ throws.
    reverse_value_iterator& operator--()
    {
        std::reverse_iterator<Base>::operator--();
        return *this;
    }

    /// Throws what Base's operator++ throws.
    reverse_value_iterator operator--(int)
    {
        const reverse_value_iterator result = *this;
        --*this;
        return result;
    }

    /// The key of the member pointed to. Throws what Base's key() throws,
    /// and invalid_iterator 213 at the reverse end.
    auto key() const -> decltype(std::declval<Base>().key())
    {
        Base position = this->base();
        return (--position).key();
    }

    /// The element or member value pointed to. Throws what Base's operator* throws.
    typename Base::reference value() const
    {
        return **this;
    }
};

/// One entry of items() and the iterator to it at once, so that range-for
/// (structured bindings included) can bind a reference to it: key() is the
/// member's key, an array element's index as text, or empty for any other value.
/// The entry lives in the iterator, so a reference to it lasts while that
/// iterator stays where it is; what value() returns lasts as the element does.
template<typename Iterator>
class item
{
  public:
    using string_t = typename Iterator::value_type::string_t;
    using iterator_category = std::forward_iterator_tag;
    using value_type = item;
    using difference_type = std::ptrdiff_t;
    using pointer = const item*;
    using reference = const item&;

    /// Bound to no value, as Iterator's own default. Never throws.
    item() = default;

    /// The entry at it. Never throws.
    explicit item(Iterator it) noexcept
        : m_it(it)
    {}

    /// The entry itself. Never throws.
    const item& operator*() const noexcept
    {
        return *this;
    }

    /// The entry itself. Never throws.
    const item* operator->() const noexcept
    {
        return this;
    }

    /// Throws what Iterator's operator++ throws.
    item& operator++()
    {
        ++m_it;
        ++m_index;
        return *this;
    }

    /// Throws what the prefix form throws.
    item operator++(int)
    {
        const item result = *this;
        ++*this;
        return result;
    }

    /// Throws what Iterator's comparison throws.
    bool operator==(const item& other) const
    {
        return m_it == other.m_it;
    }

    /// Throws what Iterator's comparison throws.
    bool operator!=(const item& other) const
    {
        return m_it != other.m_it;
    }

    /// Throws what Iterator's key() throws, and std::bad_alloc for an index.
    const string_t& key() const
    {
        m_it.check_bound();
        if (m_it.m_container->is_object())
        {
            return m_it.key();
        }
        if (m_it.m_container->is_array())
        {
            m_index_text = std::to_string(m_index);
        }
        return m_index_text;
    }

    /// Throws what Iterator's operator* throws.
    typename Iterator::reference value() const
    {
        return *m_it;
    }

    /// key() for N 0, value() for N 1: the tuple protocol of structured bindings.
    template<std::size_t N, enable_if_t<N == 0, int> = 0>
    const string_t& get() const
    {
        return key();
    }

    /// See above.
    template<std::size_t N, enable_if_t<N == 1, int> = 0>
    typename Iterator::reference get() const
    {
        return value();
    }

  private:
    Iterator m_it;
    std::size_t m_index = 0;
    mutable string_t m_index_text;
};

/// What items() returns: a range of item<Iterator>.
template<typename Iterator>
class item_range
{
  public:
    /// The range [first, last). Never throws.
    item_range(Iterator first, Iterator last) noexcept
        : m_first(first), m_last(last)
    {}

    /// Never throws.
    item<Iterator> begin() const noexcept
    {
        return item<Iterator>(m_first);
    }

    /// Never throws.
    item<Iterator> end() const noexcept
    {
        return item<Iterator>(m_last);
    }

  private:
    Iterator m_first;
    Iterator m_last;
};

} // namespace detail

} // namespace quarrow

namespace std
{

/// An entry of items() binds as two names.
template<typename Iterator>
struct tuple_size<::quarrow::detail::item<Iterator>> : std::integral_constant<std::size_t, 2>
{};

/// The first binds the key, the second the value.
template<std::size_t N, typename Iterator>
struct tuple_element<N, ::quarrow::detail::item<Iterator>>
{
    using type = decltype(std::declval<const ::quarrow::detail::item<Iterator>&>().template get<N>());
};

} // namespace std

#endif // QUARROW_ITERATORS_HPP
