// The handler that builds a value from the reader's events, keeping only what a filter keeps.

#ifndef QUARROW_DETAIL_FILTER_BUILDER_HPP
#define QUARROW_DETAIL_FILTER_BUILDER_HPP

namespace quarrow
{
namespace detail
{

/// The value builder behind a filter: a scalar is offered to the filter
/// before it is built, an array or object as it opens and once it is built;
/// what the filter drops never reaches the builder, or leaves it at once.
/// Its own stack holds, for each open array or object, its kind, the index
/// of its next element and the key it stands under, so nothing recurses.
template<typename BasicJsonType, typename Filter>
class filter_builder
{
    using string_t = typename BasicJsonType::string_t;

  public:
    filter_builder(BasicJsonType& result, const duplicate_key_policy policy, Filter& keep_) noexcept
        : built(result, policy), keep(&keep_)
    {}

    /// True when the parse stopped at a key the reject policy refused.
    bool duplicate_key() const noexcept
    {
        return built.duplicate_key();
    }

    bool null_value()
    {
        return scalar(value_t::null, [&] { return built.null_value(); });
    }

    bool boolean_value(const typename BasicJsonType::boolean_t b)
    {
        return scalar(value_t::boolean, [&] { return built.boolean_value(b); });
    }

    bool integer_value(const typename BasicJsonType::number_integer_t n)
    {
        return scalar(value_t::number_integer, [&] { return built.integer_value(n); });
    }

    bool unsigned_value(const typename BasicJsonType::number_unsigned_t n)
    {
        return scalar(value_t::number_unsigned, [&] { return built.unsigned_value(n); });
    }

    bool float_value(const typename BasicJsonType::number_float_t x)
    {
        return scalar(value_t::number_float, [&] { return built.float_value(x); });
    }

    /// A dropped string was only read into the reader's buffer.
    bool string_value(string_t& s)
    {
        return scalar(value_t::string, [&] { return built.string_value(s); });
    }

    /// Kept until the member's value is offered; the buffer keeps its room.
    /// A key the reject policy refuses stops the parse here, as without a filter.
    bool object_key(string_t& k)
    {
        if (dropped_depth != 0)
        {
            return true;
        }
        key = k;
        return not built.refuses_key(key);
    }

    bool begin_object()
    {
        return begin(value_t::object);
    }

    bool begin_array()
    {
        return begin(value_t::array);
    }

    bool end_object()
    {
        return end(value_t::object);
    }

    bool end_array()
    {
        return end(value_t::array);
    }

  private:
    /// An open array or object that is kept.
    struct level
    {
        bool object;
        std::size_t index;     // of its next element
        std::size_t key_start; // where the key it stands under starts in `keys`
    };

    /// What the filter is told of the value at the current place.
    filter_event event(const filter_stage stage, const value_t kind) const noexcept
    {
        filter_event e{stage, kind, levels.size(), nullptr, 0};
        if (not levels.empty())
        {
            if (levels.back().object)
            {
                e.key = &key;
            }
            else
            {
                e.index = levels.back().index;
            }
        }
        return e;
    }

    /// What becomes of a value that starts here.
    enum class offered
    {
        kept,    // built; a member has its key
        dropped, // by the filter
        inside   // inside a dropped value: the filter is not asked
    };

    offered offer(const value_t kind)
    {
        if (dropped_depth != 0)
        {
            return offered::inside;
        }
        const bool opens = kind == value_t::object or kind == value_t::array;
        if (not(*keep)(event(opens ? filter_stage::opened : filter_stage::completed, kind)))
        {
            return offered::dropped;
        }
        if (not levels.empty() and levels.back().object)
        {
            built.object_key(key); // true: a key the policy refuses stopped the parse at the key
        }
        return offered::kept;
    }

    /// A scalar that build makes, if it is kept.
    template<typename Build>
    bool scalar(const value_t kind, Build build)
    {
        switch (offer(kind))
        {
            case offered::kept:
                return build() and next();
            case offered::dropped:
                return next();
            default:
                return true;
        }
    }

    /// The next element's index, after a value of an array is read or dropped.
    bool next() noexcept
    {
        if (not levels.empty())
        {
            ++levels.back().index;
        }
        return true;
    }

    bool begin(const value_t kind)
    {
        switch (offer(kind))
        {
            case offered::kept:
                break;
            case offered::dropped:
                dropped_depth = 1;
                return true;
            default:
                ++dropped_depth;
                return true;
        }
        const std::size_t key_start = keys.size();
        if (not levels.empty() and levels.back().object)
        {
            keys += key;
        }
        levels.push_back({kind == value_t::object, 0, key_start});
        return kind == value_t::object ? built.begin_object() : built.begin_array();
    }

    bool end(const value_t kind)
    {
        if (dropped_depth != 0)
        {
            --dropped_depth;
            return dropped_depth != 0 or next();
        }
        const std::size_t key_start = levels.back().key_start;
        levels.pop_back();
        key.assign(keys, key_start, string_t::npos);
        keys.resize(key_start);
        const bool kept = (*keep)(event(filter_stage::completed, kind));
        if (not kept)
        {
            return built.end_and_drop(key) and next();
        }
        return (kind == value_t::object ? built.end_object() : built.end_array()) and next();
    }

    value_builder<BasicJsonType> built;
    Filter* keep;
    vector_for<BasicJsonType, level> levels;
    string_t key;  // of the member whose value comes next
    string_t keys; // the keys the open levels stand under, one after another
    std::size_t dropped_depth = 0; // open arrays and objects of a dropped value
};

} // namespace detail
} // namespace quarrow

#endif // QUARROW_DETAIL_FILTER_BUILDER_HPP
