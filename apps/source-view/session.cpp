// Opening, reopening, finding and moving through rows of the viewer's one input.
#include "session.h"

#include <glib.h>

#include <algorithm>

#include "input_file.h"

namespace source_view_app {

using source_view4::hierarchical_mode_groups;

void session_t::open(const load_request_t& request) {
  show(request);
  m_history.clear();
}

void session_t::show(const load_request_t& request) {
  utilkit2::smart_pointer_t<viewer_model_t> model(new viewer_model_t());
  load_request_t loaded = request;
  view_description_t view = load_view(loaded, *model);  // throws before anything changes
  // A fresh element state: leave any hierarchical mode so the new model gets its own.
  m_element.set_hierarchical_mode(source_view4::hierarchical_mode_none);
  m_element.clear_selection();
  m_element.set_custom_data_model(
      utilkit2::smart_pointer_t<source_view4::data_model_base_t>(model));
  m_request = std::move(loaded);
  m_view = std::move(view);
  m_open = true;
  m_matches.clear();
  m_attention = 0;
  show_view(m_element, m_view, request.mode);
  if (!m_find_text.empty()) m_matches = mark_matches(*model, m_find_text, 0);
}

void session_t::reopen(view_mode_t mode, bool reread) {
  load_request_t request = m_request;
  request.mode = mode;
  if (reread) request.profile.reset();
  unsigned top = m_element.get_top_row();
  show(request);
  m_element.set_top_row(top);
}

std::size_t session_t::find(const std::wstring& text) {
  m_find_text = text;
  m_current_match = 0;
  m_matches = mark_matches(*m_element.get_data_model(), text, 0);
  if (!m_matches.empty()) go_to_row(m_element, m_matches[0]);
  return m_matches.size();
}

bool session_t::find_next(bool forward) {
  if (m_matches.empty()) return false;
  std::size_t n = m_matches.size();
  m_current_match = forward ? (m_current_match + 1) % n : (m_current_match + n - 1) % n;
  mark_matches(*m_element.get_data_model(), m_find_text, m_current_match);
  go_to_row(m_element, m_matches[m_current_match]);
  return true;
}

void session_t::go_to_line(unsigned line) { go_to_row(m_element, row_of_line(m_view, line)); }

unsigned session_t::focused_flat_row() const {
  unsigned focus = m_element.get_focus_row();
  if (focus == source_view4::no_row) return focus;
  auto& element = const_cast<viewer_element_t&>(m_element);
  auto model = element.get_hierarchical_data_model();
  if (model && model->get_model_type() == hierarchical_mode_groups &&
      focus < model->get_row_count())
    return model->get_flat_row_index(focus);
  return focus;
}

bool session_t::next_attention(bool forward) {
  const std::vector<unsigned>& rows = m_view.attention_rows;
  if (rows.empty()) return false;
  if (!m_view.attention_in_file_order) {
    // Hottest first: walk the list by heat.
    std::size_t n = rows.size();
    m_attention = forward ? (m_attention + 1) % n : (m_attention + n - 1) % n;
    go_to_row(m_element, rows[m_attention]);
    return true;
  }
  unsigned from = focused_flat_row();
  unsigned target = rows.front();
  if (forward) {
    auto it = from == source_view4::no_row ? rows.begin()
                                           : std::upper_bound(rows.begin(), rows.end(), from);
    target = it == rows.end() ? rows.front() : *it;  // wraps to the first
  } else {
    auto it = from == source_view4::no_row ? rows.end()
                                           : std::lower_bound(rows.begin(), rows.end(), from);
    target = it == rows.begin() ? rows.back() : *(it - 1);
  }
  go_to_row(m_element, target);
  return true;
}

void session_t::go_to_start(unsigned line) {
  if (line != 0) return go_to_line(line);
  if (m_view.start_row != view_description_t::no_row) return go_to_row(m_element, m_view.start_row);
  if (!m_view.attention_rows.empty()) {
    m_attention = 0;
    go_to_row(m_element, m_view.attention_rows.front());
  }
}

void session_t::show_place(const std::string& file, unsigned line) {
  if (file != m_view.file_key) {
    load_request_t request = m_request;
    request.file_name = file;
    show(request);
  }
  go_to_line(line);
}

bool session_t::follow_call(unsigned flat_row, std::size_t entry) {
  auto calls = m_view.row_calls.find(flat_row);
  if (calls == m_view.row_calls.end()) return false;
  const std::vector<jump_target_t>& targets = calls->second;
  if (entry == no_entry) {
    auto shown = std::find_if(targets.begin(), targets.end(),
                              [](const jump_target_t& t) { return !t.file.empty(); });
    entry = std::size_t(shown - targets.begin());
  }
  if (entry >= targets.size() || targets[entry].file.empty()) return false;
  place_t from{m_view.file_key,
               flat_row < m_view.row_lines.size() ? m_view.row_lines[flat_row] : 0};
  jump_target_t to = targets[entry];  // the view changes under the reference
  show_place(to.file, to.line);
  m_history.push_back(from);
  return true;
}

bool session_t::follow_focused_call() {
  unsigned row = focused_flat_row();
  return row != source_view4::no_row && follow_call(row);
}

bool session_t::go_back() {
  if (m_history.empty()) return false;
  place_t back = m_history.back();
  show_place(back.file, back.line);
  m_history.pop_back();
  return true;
}

std::string narrow(const std::wstring& text) {
  std::string out;
  out.reserve(text.size());
  for (wchar_t c : text) {
    if (c < 0x80) {  // most of an export: one byte as it is
      out.push_back(char(c));
      continue;
    }
    char buffer[8];
    int n = g_unichar_to_utf8(gunichar(c), buffer);
    out.append(buffer, std::size_t(n));
  }
  return out;
}

}  // namespace source_view_app
