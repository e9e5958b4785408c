// new_record: where catalogue records come from.
//
// Each record is allocated on its own, as the catalogue is read; the allocations are
// carved from large blocks, since a catalogue holds millions of records that live until
// the process ends and are never released one by one.
#ifndef GALSIFT_CATALOGUE_RECORD_POOL_H
#define GALSIFT_CATALOGUE_RECORD_POOL_H

struct record;

record* new_record();

#endif
