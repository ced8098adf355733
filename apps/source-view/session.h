// One opened input in an element: the load request, the model it filled, the view description,
// and the user's place in it (found matches, the row Ctrl+Down reached). Batch runs and the
// window share it.
#pragma once
#include <string>
#include <vector>

#include "load.h"
#include "options.h"
#include "view_setup.h"

namespace source_view_app {

class session_t {
 public:
  explicit session_t(viewer_element_t& element) : m_element(element) {}

  // Loads `request` into a fresh model and shows it, forgetting the calls followed in the input
  // shown before; throws import_error and leaves the view as it was when the input is bad.
  void open(const load_request_t& request);
  // The same input again, in `mode`, keeping the top row; a profile already read is reused
  // unless `reread`.
  void reopen(view_mode_t mode, bool reread = false);
  bool is_open() const { return m_open; }
  const load_request_t& request() const { return m_request; }
  const view_description_t& view() const { return m_view; }

  // Marks the matches of `text` and centres the first one; answers the number of rows matched.
  std::size_t find(const std::wstring& text);
  // The next (or previous) row with a match becomes current and is centred; false without any.
  bool find_next(bool forward);
  std::size_t match_count() const { return m_matches.size(); }

  // Centres 1-based source line `line`.
  void go_to_line(unsigned line);
  // The next (or previous) row worth a look after the focused one: unexecuted lines in file
  // order, or the hottest rows in order of heat; false when there is none.
  bool next_attention(bool forward);
  // Where a file opens: --line, else the view's start row (the costliest line of a profile),
  // else the first unexecuted line.
  void go_to_start(unsigned line);

  // Follows entry `entry` of the calls of model row `flat_row` (the first the view can show when
  // `entry` is no_entry): the callee's file opens when it is another, at the callee's first line.
  // The place left is remembered for go_back. False when there is nothing to follow. Throws
  // import_error when the other file cannot be shown.
  static constexpr std::size_t no_entry = std::size_t(-1);
  bool follow_call(unsigned flat_row, std::size_t entry = no_entry);
  // follow_call on the focused row.
  bool follow_focused_call();
  // Back to where the last followed call was made from; false when no call was followed.
  bool go_back();
  std::size_t history_size() const { return m_history.size(); }

 private:
  // open without forgetting the calls followed: another mode or file of the same input.
  void show(const load_request_t& request);
  unsigned focused_flat_row() const;
  // Shows `line` of the input's file `file` (the profile's name for it), opening it if another.
  void show_place(const std::string& file, unsigned line);

  struct place_t {
    std::string file;
    unsigned line = 0;
  };

  viewer_element_t& m_element;
  load_request_t m_request;
  view_description_t m_view;
  bool m_open = false;
  std::wstring m_find_text;
  std::vector<unsigned> m_matches;
  std::size_t m_current_match = 0;
  std::size_t m_attention = 0;     // next index into view().attention_rows for hottest-first order
  std::vector<place_t> m_history;  // places calls were followed from, the last one last
};

// UTF-8 for the terminal.
std::string narrow(const std::wstring& text);

}  // namespace source_view_app
