// server_context: what every answer of the query server reaches: its settings and its
// workers' turns. The site's files it holds are read through current_site() (held_site.h).
#ifndef GALSIFT_SERVER_SERVER_CONTEXT_H
#define GALSIFT_SERVER_SERVER_CONTEXT_H

#include "server/server_settings.h"
#include "server/worker_turns.h"

#include <fcgiapp.h>

struct server_context {
    server_settings settings; // read at start-up, then only read
    worker_turns turns;       // guarded by its own lock
};

// An answer at one address: writes the whole response to `request`, or cuts its
// connection (fcgi_response.h) when a streamed answer cannot be finished.
using answer_function = void (*)(FCGX_Request& request, server_context& server);

#endif
