// Selecting the records inside the query's three intervals, in catalogue order.
#include "catalogue/selection.h"

#include "catalogue/record.h"
#include "flow/globals.h"

// The query's bounds as the comparisons use them, computed once for the whole list.
struct query_box {
    double min_declination, max_declination, min_ascension, max_ascension;
};

static query_box box_of_query() {
    return {minimal_declination.value(), maximal_declination.value(), minimal_ascension.value(),
            maximal_ascension.value()};
}

// Whether `entry` lies inside all three intervals of `box`, bounds included.
static bool inside(const query_box& box, const record& entry) {
    double declination = entry.declination.value();
    double ascension = entry.ascension.value();
    return box.min_declination <= declination && declination <= box.max_declination &&
           box.min_ascension <= ascension && ascension <= box.max_ascension &&
           min_redshift <= entry.redshift && entry.redshift <= max_redshift;
}

// Whether `entry` lies inside all three intervals of the query, bounds included.
bool inside_query(const record& entry) {
    return inside(box_of_query(), entry);
}

// Chains every matching record from First_Selected through next_selected, in catalogue
// order, and counts them into number_of_selected; the last one's next_selected is null,
// also when a list held across queries was chained before. Always returns 0.
int result_list_generator() {
    const query_box box = box_of_query();
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
