// The messages the program writes on standard output, each defined once, and the
// functions that write them. Messages go to standard output, in the order the stages
// run, unless a process that runs the stages itself (the query server) collects them
// with say_into; the texts are the system's own, spelling included.
#ifndef GALSIFT_FLOW_MESSAGES_H
#define GALSIFT_FLOW_MESSAGES_H

#include <string>

namespace messages {
// Verdicts of the run.
inline const char page_created[] = "\nFile result.html has been created successfully\n";
inline const char page_not_created[] = "\nError: File result.html has not been created\n";
inline const char query_error[] = "Query input error: file result.html has not been created\n";
inline const char invalid_epoch[] = "\n Invalid epoch value\n";

// Files that cannot be opened or created.
inline const char no_style_file[] = "error of opening file style.var\n";
inline const char no_query_file[] = "error of opening file query.form\n";
inline const char no_catalogue_file[] = "error open file ";          // then the name, "\n"
inline const char no_memory[] = "error: not enough memory to read "; // then the name, "\n"
inline const char page_not_writable[] = "error of creation of results.html\n";

// Problems of the query form.
inline const char minimal_sign_lost[] = "Sign '+' or '-' of minimal declination is lost\n";
inline const char maximal_sign_lost[] = "Sign '+' or '-' of maximal declination is lost\n";
inline const char usage_head[] = "Error: parameters have to be the following:\n";
inline const char usage_coordinates[] =
    "-90:00:00<=declination<=90:00:00,  00:00:00<=ascension<=24:00:00,  ";
inline const char usage_redshift[] = "redshift>=0,\n";
inline const char usage_fields[] = "00<=min<=59,  00<=sec<60 \n";
inline const char declination_order[] =
    "minimal declination must be less then maximal declination\n";
inline const char ascension_order[] = "minimal ascension must be less then maximal ascension\n";
inline const char redshift_order[] = "minimal redshift must be less then maximal redshift\n";

// A stop character that descriptor_shift did not find: the text, the character, the end.
inline const char stop_signal_head[] = "file read message: stop_signal '";
inline const char stop_signal_tail[] = "' lost\n";
} // namespace messages

void say_into(std::string* sink);
void say(const char* text);
void say_with_name(const char* text, const char* name);
void say_stop_signal_lost(char stop);

#endif
