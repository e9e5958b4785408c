// run_stages: one query answered by the program's stages, in the working directory.
#ifndef GALSIFT_FLOW_STAGES_H
#define GALSIFT_FLOW_STAGES_H

const char* catalogue_name(int of_epoch);
int read_catalogue(const char* name);
void run_stages(int (*load_catalogue)(const char* name), int (*write_answer)() = nullptr);

#endif
