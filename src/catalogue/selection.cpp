// Selecting the records inside the query's three intervals, in catalogue order.
#include "catalogue/selection.h"

#include "catalogue/record.h"
#include "flow/globals.h"
#include "query/query_bounds.h"

// The bounds of `query`, computed once for a whole selection.
query_box box_of(const query_bounds& query) {
    return {query.minimal_declination.value(),
            query.maximal_declination.value(),
            query.minimal_ascension.value(),
            query.maximal_ascension.value(),
            query.min_redshift,
            query.max_redshift};
}

// Whether `entry` lies inside all three intervals of `box`, bounds included.
static bool inside(const query_box& box, const record& entry) {
    return inside_box(box, entry.declination.value(), entry.ascension.value(), entry.redshift);
}

// Whether `entry` lies inside all three intervals of the query, bounds included.
bool inside_query(const record& entry) {
    return inside(box_of(program_query()), entry);
}

// Chains every matching record from First_Selected through next_selected, in catalogue
// order, and counts them into number_of_selected; the last one's next_selected is null,
// also when a list held across queries was chained before. Always returns 0.
int result_list_generator() {
    const query_box box = box_of(program_query());
    record* last = nullptr;
    for (record* entry = DB_First.next; entry; entry = entry->next) {
        if (!inside(box, *entry))
            continue;
        if (last)
            last->next_selected = entry;
        else
            First_Selected = entry;
        last = entry;
        number_of_selected++;
    }
    if (last)
        last->next_selected = nullptr;
    return 0;
}
