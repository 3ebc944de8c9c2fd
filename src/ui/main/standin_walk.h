#pragma once
// STAND-IN: a minimal folder walk with the engine's reporting shape, used until the engine's walk
// is merged. It examines entries and reports them; it detects nothing.

#include <cstdint>
#include <string>

namespace velquin::ui {

class StandInScanSink {
public:
    virtual ~StandInScanSink() = default;
    virtual void ShowEntry(const std::string& text) = 0;
    virtual void ShowCounts(std::uint64_t files, std::uint64_t folders) = 0;
    virtual bool KeepGoing() = 0;
    virtual void Yield() = 0;
};

void StandInScanFolder(const std::string& path, StandInScanSink& sink);

}  // namespace velquin::ui
