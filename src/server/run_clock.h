// The clock of the running query: how long it has run, reads of a catalogue left out.
// Set by the thread that runs the stages, read by the watchdog.
#ifndef GALSIFT_SERVER_RUN_CLOCK_H
#define GALSIFT_SERVER_RUN_CLOCK_H

void start_run_clock();
void stop_run_clock();
void pause_run_clock();
void resume_run_clock();
long long run_clock_ms();

#endif
