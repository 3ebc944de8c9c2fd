// Lookup cost against the size of the signature list: it must stay flat from 10 to 1 000 000
// records. Each run asks 4096 different fingerprints, half of them in the list.

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
    static std::vector<std::pair<std::int64_t, Fixture>> made;
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
        if (present.size() < 2048 && (i % std::max<std::int64_t>(1, records / 2048)) == 0) present.push_back(key);
    }
    out << "Finish:Finish\r\n";
    for (std::size_t i = 0; i < 4096; ++i) {
        fixture.queries.push_back(i % 2 == 0 ? present[(i / 2) % present.size()] : RandomKey(random));
    }
    made.emplace_back(records, std::move(fixture));
    return made.back().second;
}

void BM_LookupSignature(benchmark::State& state) {
    const Fixture& fixture = ListOf(state.range(0));
    SignatureDatabase database(fixture.path);
    database.Load();  // the one parse, outside the timing
    std::size_t i = 0, found = 0;
    for (auto _ : state) {
        found += !database.LookupSignature(fixture.queries[i]).empty();
        i = (i + 1) & 4095;
    }
    benchmark::DoNotOptimize(found);
    state.counters["found"] = static_cast<double>(found) / static_cast<double>(state.iterations());
    std::remove(fixture.path.c_str());
}
BENCHMARK(BM_LookupSignature)->Arg(10)->Arg(10000)->Arg(1000000);

}  // namespace
