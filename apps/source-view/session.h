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

  // Loads `request` into a fresh model and shows it; throws import_error and leaves the view as
  // it was when the input is bad.
  void open(const load_request_t& request);
  // The same input again, in `mode`, keeping the top row.
  void reopen(view_mode_t mode);
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
  // Where a file opens: --line, else the first unexecuted line.
  void go_to_start(unsigned line);

 private:
  unsigned focused_flat_row() const;

  viewer_element_t& m_element;
  load_request_t m_request;
  view_description_t m_view;
  bool m_open = false;
  std::wstring m_find_text;
  std::vector<unsigned> m_matches;
  std::size_t m_current_match = 0;
  std::size_t m_attention = 0;  // next index into view().attention_rows for hottest-first order
};

// UTF-8 for the terminal.
std::string narrow(const std::wstring& text);

}  // namespace source_view_app
