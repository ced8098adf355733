// Filling the viewer's model from a callgrind profile: one source file of the profile with each
// line's self cost per event, its share of the file, the cost of the calls it makes, a snippet
// entry per callee, and a group per function with the code inlined into it.
#pragma once
#include <string>
#include <vector>

#include "callgrind.h"
#include "view_data.h"

namespace source_view_app {

struct callgrind_view_request_t {
  std::string input;      // names the profile in messages
  std::string file_name;  // the file to show: as the profile names it, or a path suffix of it;
                          // empty for the file with the largest self cost
  std::vector<std::string> events;       // the event columns in order; empty for every event
  std::vector<std::string> source_dirs;  // where sources are looked for after their own path
  std::string profile_dir;               // relative source names are also tried from here
  view_mode_t mode = view_mode_t::flat;
};

// A model row per source line (lines with costs past the source's end, or every line with a cost
// when the source cannot be found, get rows with empty text); in functions mode a group row per
// function instead, each followed by its lines. Throws import_error for an unknown event or file.
view_description_t fill_callgrind_view(const callgrind_profile_t& profile,
                                       const callgrind_view_request_t& request,
                                       source_view4::data_model_t& model);

// The indexes in profile.events of the events `names` asks for, in that order (every event when
// it is empty). Throws import_error naming `input` and the first unknown name.
std::vector<std::size_t> choose_events(const callgrind_profile_t& profile,
                                       const std::vector<std::string>& names,
                                       const std::string& input);

struct callgrind_file_cost_t {
  std::string name;
  std::vector<cost_t> costs;  // per chosen event
};

// Every file of the profile with its self cost per chosen event, the costliest (by the first
// chosen event) first.
std::vector<callgrind_file_cost_t> callgrind_file_costs(const callgrind_profile_t& profile,
                                                        const std::vector<std::size_t>& events);

// The readable source of `name`: the name itself, then under each of `dirs` (the whole relative
// name, then its last part), then beside the profile; empty when none of them opens.
std::string find_source(const std::string& name, const std::vector<std::string>& dirs,
                        const std::string& profile_dir);

}  // namespace source_view_app
