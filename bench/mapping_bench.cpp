// Reading records out of a value: get<std::vector<T>>() of 10,000 records,
// mapped by QUARROW_TYPE and by a hand-written from_json, side by side, so
// that what the mapping and its error paths cost while nothing fails shows.
//
//     mapping_bench [--smoke] [--benchmark_...]

#include <quarrow/json.hpp>

#include <benchmark/benchmark.h>

#include <cstdint>
#include <iostream>
#include <string>
#include <vector>

namespace mapped
{
struct record
{
    std::int64_t id;
    std::string name;
    double score;
    bool active;
    std::vector<int> tags;
};
QUARROW_TYPE(record, id, name, score, active, tags);
} // namespace mapped

namespace by_hand
{
struct record
{
    std::int64_t id;
    std::string name;
    double score;
    bool active;
    std::vector<int> tags;
};

void from_json(const quarrow::json& j, record& r)
{
    r.id = j.at("id").get<std::int64_t>();
    r.name = j.at("name").get<std::string>();
    r.score = j.at("score").get<double>();
    r.active = j.at("active").get<bool>();
    r.tags = j.at("tags").get<std::vector<int>>();
}
} // namespace by_hand

namespace
{

quarrow::json records()
{
    quarrow::json all = quarrow::json::array();
    for (int i = 0; i < 10000; ++i)
    {
        all.push_back({{"id", 1000000 + i},
                       {"name", "record number " + std::to_string(i)},
                       {"score", i * 0.25},
                       {"active", i % 3 == 0},
                       {"tags", {i % 7, i % 11, i % 13}}});
    }
    return all;
}

template<typename Record>
void read_records(benchmark::State& state, const quarrow::json& all)
{
    for (auto _ : state)
    {
        std::vector<Record> out = all.get<std::vector<Record>>();
        benchmark::DoNotOptimize(out.data());
    }
}

} // namespace

int main(int argc, char** argv)
{
    char repetitions[] = "--benchmark_repetitions=5";
    char aggregates_only[] = "--benchmark_display_aggregates_only=true";
    std::vector<char*> args(argv, argv + argc);
    args.insert(args.begin() + 1, {repetitions, aggregates_only});
    bool smoke = false;
    for (auto it = args.begin(); it != args.end();)
    {
        if (std::string(*it) == "--smoke")
        {
            smoke = true;
            it = args.erase(it);
        }
        else
        {
            ++it;
        }
    }
    int count = static_cast<int>(args.size());
    benchmark::Initialize(&count, args.data());

    const quarrow::json all = records();
    const auto mapped_records = all.get<std::vector<mapped::record>>();
    const auto hand_records = all.get<std::vector<by_hand::record>>();
    for (std::size_t i = 0; i < mapped_records.size(); ++i)
    {
        const mapped::record& m = mapped_records[i];
        const by_hand::record& h = hand_records[i];
        if (m.id != h.id or m.name != h.name or m.score != h.score or m.active != h.active or m.tags != h.tags)
        {
            std::cerr << "record " << i << " reads differently mapped and by hand; nothing timed\n";
            return 1;
        }
    }
    std::cout << "checks passed: 10,000 records read the same mapped and by hand\n";

    for (auto* b : {benchmark::RegisterBenchmark("records/by_hand", read_records<by_hand::record>, all),
                    benchmark::RegisterBenchmark("records/QUARROW_TYPE", read_records<mapped::record>, all)})
    {
        b->UseRealTime()->Unit(benchmark::kMillisecond);
        if (smoke)
        {
            b->Iterations(1)->Repetitions(1);
        }
    }
    benchmark::RunSpecifiedBenchmarks();
    benchmark::Shutdown();
    return 0;
}
