// The move of a catalogue declination's sign into `sign`.
#include "coords/arc.h"

#include <cmath>

// Moves the sign of `degrees` into `sign`, snaps degrees within 1e-6 of zero to zero and
// keeps the absolute value. A negative zero ("-00", as catalogues write galaxies just
// south of the equator) keeps its minus. Always returns 1.
int arc::corrector() {
    sign = (degrees >= 0 && !std::signbit(degrees)) ? 1 : -1;
    if (std::fabs(degrees) <= 0.000001)
        degrees = 0;
    degrees = std::fabs(degrees);
    return 1;
}
