// Computing the coverage map once for each catalogue held.
#include "server/held_coverage.h"

#include "vo/moc_writers.h"

#include <chrono>
#include <cstdio>
#include <mutex>

static std::mutex coverage_lock;                    // guards the three below, and is
                                                    // held while a map is computed
static std::weak_ptr<const held_catalogue> covered; // the catalogue of coverage_now
static std::shared_ptr<const held_coverage> coverage_now;

// The map's ASCII form at the deepest order from its own down to least_coverage_order
// that fits in summary_bytes (the least one when none does).
static std::string summary_of(const coverage_map& map) {
    std::string text = moc_ascii(map);
    for (int order = map.order - 1; text.size() > summary_bytes && order >= least_coverage_order;
         order--)
        text = moc_ascii(degraded_coverage(map, order));
    return text;
}

// The coverage of `catalogue` (readable) at `order`: the one computed before when it is of
// the same catalogue and order, else a new one. Returns null when the library refused.
std::shared_ptr<const held_coverage>
coverage_of(const std::shared_ptr<const held_catalogue>& catalogue, int order) {
    std::lock_guard<std::mutex> hold(coverage_lock);
    if (coverage_now && covered.lock() == catalogue && coverage_now->map.order == order)
        return coverage_now;
    auto started = std::chrono::steady_clock::now();
    auto fresh = std::make_shared<held_coverage>();
    if (make_coverage(catalogue->store, order, fresh->map) != coverage_made)
        return nullptr;
    fresh->summary = summary_of(fresh->map);
    std::chrono::duration<double> took = std::chrono::steady_clock::now() - started;
    std::fprintf(stderr, "galsift-server: coverage of %s at order %d: %zu cells, %.2f s\n",
                 catalogue->name, order, fresh->map.cells.size(), took.count());
    covered = catalogue;
    coverage_now = fresh;
    return coverage_now;
}
