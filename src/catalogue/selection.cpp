// Selecting the records inside the query's three intervals, in catalogue order.
#include "catalogue/selection.h"

#include "catalogue/record.h"
#include "flow/globals.h"

// Whether `entry` lies inside all three intervals of the query, bounds included.
bool inside_query(const record& entry) {
    double declination = entry.declination.value();
    double ascension = entry.ascension.value();
    return minimal_declination.value() <= declination &&
           declination <= maximal_declination.value() && minimal_ascension.value() <= ascension &&
           ascension <= maximal_ascension.value() && min_redshift <= entry.redshift &&
           entry.redshift <= max_redshift;
}

// Chains every matching record from First_Selected through next_selected, in catalogue
// order, and counts them into number_of_selected. Always returns 0.
int result_list_generator() {
    record* last = nullptr;
    for (record* entry = DB_First.next; entry; entry = entry->next) {
        if (!inside_query(*entry))
            continue;
        if (last)
            last->next_selected = entry;
        else
            First_Selected = entry;
        last = entry;
        number_of_selected++;
    }
    return 0;
}
