// Lookup cost against the size of the signature list: it must stay flat from 10 to 1 000 000
// records. A run asks a cycle of different fingerprints, half of them in the list: 1024 of them
// (the work of a lookup, with the touched table lines in cache), or 65536 (also the memory
// latency of a large table, which the lines of a small one never pay).

#include <unistd.h>

#include <cstdio>
#include <fstream>
#include <random>
#include <string>
#include <vector>

#include <benchmark/benchmark.h>

#include "engine/database.h"

namespace {

using velquin::engine::SignatureDatabase;

struct Fixture {
    std::string path;
    std::vector<std::string> queries;
};

std::string RandomKey(std::mt19937_64& random) {
    char text[64];
    std::snprintf(text, sizeof text, "%llX%llX79914R102910492019018",
                  static_cast<unsigned long long>(random() % 0x7FFFFFFF + 1),
                  static_cast<unsigned long long>(random() % 0x7FFFFFFF + 1));
    return text;
}

// Writes a list of `records` records once per size and keeps it for the whole run.
const Fixture& ListOf(std::int64_t records) {
    // The lists go when the run ends.
    static struct Made : std::vector<std::pair<std::int64_t, Fixture>> {
        ~Made() {
            for (const auto& entry : *this) std::remove(entry.second.path.c_str());
        }
    } made;
    for (const auto& [size, fixture] : made) {
        if (size == records) return fixture;
    }
    Fixture fixture;
    fixture.path = (access("/dev/shm", W_OK) == 0 ? std::string("/dev/shm") : std::string("/tmp")) +
                   "/velquin-lookup-bench-" + std::to_string(getpid()) + "-" + std::to_string(records) + ".db";
    std::mt19937_64 random(42);
    std::ofstream out(fixture.path, std::ios::binary);
    std::vector<std::string> present;
    for (std::int64_t i = 0; i < records; ++i) {
        const std::string key = RandomKey(random);
        out << key << ":Random.Signature-" << i << "\r\n";
        if (present.size() < 32768 && (i % std::max<std::int64_t>(1, records / 32768)) == 0) present.push_back(key);
    }
    out << "Finish:Finish\r\n";
    for (std::size_t i = 0; i < 65536; ++i) {
        fixture.queries.push_back(i % 2 == 0 ? present[(i / 2) % present.size()] : RandomKey(random));
    }
    made.emplace_back(records, std::move(fixture));
    return made.back().second;
}

void BM_LookupSignature(benchmark::State& state) {
    const Fixture& fixture = ListOf(state.range(0));
    SignatureDatabase database(fixture.path);
    database.Load();  // the one parse, outside the timing
    const std::size_t mask = static_cast<std::size_t>(state.range(1)) - 1;
    // Odd places hold fingerprints that are not in the list: a scan's usual case, a clean file.
    const bool cleanOnly = state.range(2) == 0;
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += !database.LookupSignature(fixture.queries[cleanOnly ? (i | 1) & mask : i]).empty();
        i = (i + 1) & mask;
    }
    benchmark::DoNotOptimize(found);
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
}
BENCHMARK(BM_LookupSignature)
    ->ArgsProduct({{10, 10000, 1000000}, {1024, 65536}, {0, 50}})
    ->ArgNames({"records", "queries", "hit%"});

}  // namespace
