// coordinate_frame: the celestial frame a catalogue file's positions are given in, as the
// publisher declares it, and as a VOTable's COOSYS names it.
//
// Three frames are known: ICRS, FK5 at equinox J2000, FK4 at equinox B1950. By default
// CG2000.dat is FK5 J2000 and CG1950.dat FK4 B1950, as the import tool writes them.
#ifndef GALSIFT_WEB_COORDINATE_FRAME_H
#define GALSIFT_WEB_COORDINATE_FRAME_H

#include <string>

struct coordinate_frame {
    const char* name;    // as the publisher writes it: "ICRS", "FK5 J2000", "FK4 B1950"
    const char* system;  // COOSYS system: "ICRS", "eq_FK5", "eq_FK4"
    const char* equinox; // COOSYS equinox: "J2000", "B1950"; null for ICRS, which has none
};

coordinate_frame frame_of_epoch(int epoch);
bool frame_named(const std::string& name, coordinate_frame& frame);

#endif
