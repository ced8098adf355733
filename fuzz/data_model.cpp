// Fuzz target for the flat data model and the text form of cell values: writes, batches, links,
// flags, highlights, summaries, row counts, column clears, tab widths, copies and assignments,
// with every read, every text, the longest-text record and every signal compared with a plain
// reference model whose texts come from a wide string stream, as the rules describe them.
#include <cstring>
#include <iomanip>
#include <map>
#include <sstream>

#include "fuzz_support.h"
#include "source_view4/data_model.h"

namespace {

using namespace source_view4;

const unsigned int columns[] = {0, 1, 7, source_column, snippet_column, found_items_column};

// The rules' text of a value: numbers through a fresh wide stream, tabs of the source and
// snippet columns replaced by `tab_width` spaces.
template <class T>
std::wstring streamed(T value, bool hex = false) {
  std::wostringstream stream;
  if (hex) stream << std::hex;
  stream << value;
  return stream.str();
}

std::wstring reference_text(const cell_value_t& value, unsigned int column,
                            unsigned int tab_width) {
  std::wstring text;
  switch (value.which()) {
    case cell_int:
      text = streamed(boost::get<int>(value));
      break;
    case cell_unsigned:
      text = streamed(boost::get<unsigned int>(value));
      break;
    case cell_text:
      text = boost::get<std::wstring>(value);
      break;
    case cell_icon_list: {
      const auto& icons = boost::get<std::vector<int>>(value);
      if (icons.empty()) text = L"{empty icon list}";
      for (std::size_t i = 0; i < icons.size(); ++i)
        text += (i == 0 ? L"{" : L" ,") + streamed(icons[i]) + (i + 1 == icons.size() ? L"}" : L"");
      break;
    }
    case cell_hex:
      text = L"0x" + streamed(boost::get<data_container_t<std::uint64_t>>(value).value, true);
      break;
    case cell_fraction: {
      const double fraction = boost::get<data_container_t<double>>(value).value;
      if (!(fraction > 0)) break;
      std::wostringstream stream;
      stream << std::fixed << std::setprecision(2) << fraction * 100;
      text = stream.str() + L"%";
      break;
    }
    case cell_snippet:
      text = boost::get<snippet_t>(value).text;
      break;
    case cell_label_list: {
      const auto& labels = boost::get<label_list_t>(value);
      for (std::size_t i = 0; i < labels.texts.size() && i < labels.image_indexes.size(); ++i)
        text += L"{" + streamed(labels.image_indexes[i]) + L"}" + labels.texts[i];
      break;
    }
    case cell_range:
      text = boost::get<range_t>(value).text;
      break;
    default: {
      const auto& items = boost::get<found_items_t>(value);
      if (items.empty()) break;
      const data_model_found_item_t& last = items.back();
      text = streamed(last.column) + streamed(last.start) + streamed(last.length) +
             streamed(last.current ? 1 : 0);
    }
  }
  if (column != source_column && column != snippet_column) return text;
  std::wstring expanded;
  for (wchar_t c : text) c == L'\t' ? expanded.append(tab_width, L' ') : expanded.append(1, c);
  return expanded;
}

// Values equal alternative by alternative; fractions by their bits, so that NaN equals itself.
bool same_value(const cell_value_t& a, const cell_value_t& b) {
  if (a.which() != b.which()) return false;
  if (a.which() != cell_fraction) return a == b;
  const double x = boost::get<data_container_t<double>>(a).value;
  const double y = boost::get<data_container_t<double>>(b).value;
  return std::memcmp(&x, &y, sizeof x) == 0;
}

struct ref_row_t {
  std::map<unsigned int, cell_value_t> values;
  bool highlighted = false;
  std::map<unsigned int, unsigned int> links;
  std::map<unsigned int, int> flags;
};

// What the model should hold, and the signals it should have emitted.
struct reference_t {
  std::vector<ref_row_t> rows;
  std::map<unsigned int, cell_value_t> summary;
  std::map<unsigned int, std::pair<unsigned int, std::size_t>> longest;  // column -> row, length
  unsigned int tab_width = 4;
  bool updating = false;
  std::vector<std::pair<unsigned int, unsigned int>> events;  // (column, row); model: (~0, 0)...

  void emit(unsigned int column, unsigned int row) {
    if (!updating) events.emplace_back(column, row);
  }
  unsigned int smallest_free_link() const {
    for (unsigned int id = 0;; ++id) {
      bool used = false;
      for (const ref_row_t& row : rows)
        for (const auto& link : row.links) used |= link.second == id;
      if (!used) return id;
    }
  }
};

constexpr unsigned int model_event = 0xABCD0001, summary_event = 0xABCD0002;

struct recorder_t : utilkit2::subscriber_base_t {
  void on_model() { events.emplace_back(model_event, 0); }
  void on_summary() { events.emplace_back(summary_event, 0); }
  void on_data(unsigned int column, unsigned int row) { events.emplace_back(column, row); }
  std::vector<std::pair<unsigned int, unsigned int>> events;
};

class data_run_t {
 public:
  explicit data_run_t(FuzzedDataProvider& input) : m_input(input) {
    m_model.model_updated.connect(&m_recorder, &recorder_t::on_model);
    m_model.summary_updated.connect(&m_recorder, &recorder_t::on_summary);
    m_model.data_updated.connect(&m_recorder, &recorder_t::on_data);
  }

  void step() {
    const unsigned int row = m_input.ConsumeIntegralInRange(0u, 13u);
    const unsigned int column = columns[m_input.ConsumeIntegralInRange(0, 5)];
    switch (m_input.ConsumeIntegralInRange(0, 15)) {
      case 0:
        return set_row_count(row);
      case 1:
        return (m_model.begin_update(), void(m_ref.updating = true));
      case 2:
        m_model.end_update();
        m_ref.updating = false;
        return m_ref.emit(model_event, 0);
      case 3:
        return set_summary(column, value());
      case 4:
        return set_source(row, text());
      case 5:
        return clear();
      case 6:
        return clear_columns();
      case 7:
        return set_highlighted(row);
      case 8:
        return set_tab_width(row % 10);
      case 9:
        return set_link(row, column);
      case 10:
        return set_flags(row, column, m_input.ConsumeIntegralInRange(-2, 5));
      case 11:
        return copy();
      default:
        return set_data(row, column, value());
    }
  }

  void check() { check_model(m_model, /*signals=*/true); }

 private:
  unsigned int count() const { return static_cast<unsigned int>(m_ref.rows.size()); }

  std::wstring text() {
    static const wchar_t alphabet[] = {L'a', L'\t', L' ', L'\u00e9', L'\U0001F600', L'0'};
    std::wstring text;
    for (int n = m_input.ConsumeIntegralInRange(0, 6); n > 0; --n)
      text += alphabet[m_input.ConsumeIntegralInRange(0, 5)];
    return text;
  }

  cell_value_t value() {
    switch (m_input.ConsumeIntegralInRange(0, 9)) {
      case cell_int:
        return m_input.ConsumeIntegral<int>();
      case cell_unsigned:
        return m_input.ConsumeIntegral<unsigned int>();
      case cell_text:
        return text();
      case cell_icon_list: {
        std::vector<int> icons(m_input.ConsumeIntegralInRange(0u, 3u));
        for (int& icon : icons) icon = m_input.ConsumeIntegral<int>();
        return icons;
      }
      case cell_hex:
        return data_container_t<std::uint64_t>(m_input.ConsumeIntegral<std::uint64_t>());
      case cell_fraction: {
        const std::uint64_t bits = m_input.ConsumeIntegral<std::uint64_t>();
        double fraction;
        std::memcpy(&fraction, &bits, sizeof fraction);
        if (m_input.ConsumeBool()) fraction = m_input.ConsumeIntegralInRange(0, 200000) / 1000.0;
        return data_container_t<double>(fraction);
      }
      case cell_snippet:
        return snippet_t{text(), {snippet_item_t{{text()}, text(), -1, 0}}};
      case cell_label_list: {
        label_list_t labels;
        labels.texts.resize(m_input.ConsumeIntegralInRange(0u, 3u));
        for (std::wstring& label : labels.texts) label = text();
        labels.image_indexes.resize(m_input.ConsumeIntegralInRange(0u, 3u));
        for (int& index : labels.image_indexes) index = m_input.ConsumeIntegral<int>();
        return labels;
      }
      case cell_range:
        return range_t{m_input.ConsumeIntegralInRange(0, 4), text(), 0};
      default: {
        found_items_t items(m_input.ConsumeIntegralInRange(0u, 2u));
        for (auto& item : items)
          item = {m_input.ConsumeIntegral<int>(), m_input.ConsumeIntegral<int>(),
                  m_input.ConsumeIntegral<int>(), m_input.ConsumeBool()};
        return items;
      }
    }
  }

  void set_row_count(unsigned int rows) {
    m_model.set_row_count(rows);
    m_ref.rows.resize(rows);
    m_ref.longest.clear();
    for (ref_row_t& record : m_ref.rows) record.values[found_items_column] = found_items_t();
    m_ref.emit(model_event, 0);
  }

  void set_data(unsigned int row, unsigned int column, const cell_value_t& value) {
    m_model.set_data(row, column, value);
    if (row >= count()) return;
    m_ref.rows[row].values[column] = value;
    const std::size_t length = reference_text(value, column, m_ref.tab_width).size();
    const auto found = m_ref.longest.find(column);
    if (found == m_ref.longest.end() || length > found->second.second)
      m_ref.longest[column] = {row, length};
    m_ref.emit(column, row);
  }

  void set_source(unsigned int row, const std::wstring& text) {
    m_model.set_source(row, text);
    if (row >= count()) return;
    const std::size_t length = reference_text(text, source_column, m_ref.tab_width).size();
    m_ref.rows[row].values[source_column] = text;
    const auto found = m_ref.longest.find(source_column);
    if (found == m_ref.longest.end() || length > found->second.second)
      m_ref.longest[source_column] = {row, length};
    m_ref.emit(source_column, row);
  }

  void set_summary(unsigned int column, const cell_value_t& value) {
    m_model.set_summary_data(column, value);
    m_ref.summary[column] = value;
    m_ref.emit(summary_event, 0);
  }

  void clear() {
    m_model.clear();
    m_ref.rows.clear();
    m_ref.longest.clear();
    m_ref.emit(model_event, 0);
  }

  void clear_columns() {
    std::vector<unsigned int> listed;
    for (int n = m_input.ConsumeIntegralInRange(0, 3); n > 0; --n)
      listed.push_back(columns[m_input.ConsumeIntegralInRange(0, 5)]);
    m_model.clear_columns(listed);
    for (unsigned int column : listed) {
      for (ref_row_t& record : m_ref.rows) record.values.erase(column);
      m_ref.longest.erase(column);
    }
    m_ref.emit(model_event, 0);
  }

  void set_highlighted(unsigned int row) {
    if (row >= count()) return;  // the caller passes a row below the count
    const bool on = m_input.ConsumeBool();
    m_model.set_highlighted(row, on);
    m_ref.rows[row].highlighted = on;
    m_ref.emit(all_columns, row);
  }

  void set_tab_width(unsigned int width) {
    m_model.set_source_tab_width(width);
    m_ref.tab_width = width;
    m_ref.emit(source_column, all_rows);
  }

  void set_link(unsigned int row, unsigned int column) {
    unsigned int id = m_input.ConsumeBool() ? no_link : m_input.ConsumeIntegralInRange(0u, 6u);
    const unsigned int answer = m_model.set_link(row, column, id);
    if (row >= count()) return SV4_FUZZ_CHECK(answer == no_link);
    if (id == no_link) id = m_ref.smallest_free_link();
    SV4_FUZZ_CHECK(answer == id);
    m_ref.rows[row].links[column] = id;
    m_ref.emit(column, row);
  }

  void set_flags(unsigned int row, unsigned int column, int flags) {
    m_model.set_cell_flags(row, column, flags);
    if (row >= count() || flags == 0) return;
    m_ref.rows[row].flags[column] = flags;
    m_ref.emit(column, row);
  }

  // A copy and an assignment over another model answer as the model does.
  void copy() {
    data_model_t copy(m_model), assigned;
    assigned.set_row_count(3);
    assigned.set_summary_data(99, 5);
    assigned = m_model;
    check_model(copy, /*signals=*/false);
    check_model(assigned, /*signals=*/false);
  }

  void check_model(const data_model_t& model, bool signals) {
    if (signals) {
      SV4_FUZZ_CHECK(m_recorder.events == m_ref.events);
      m_recorder.events.clear();
      m_ref.events.clear();
    }
    SV4_FUZZ_CHECK(model.get_row_count() == count() && model.is_updating() == m_ref.updating);
    SV4_FUZZ_CHECK(model.get_source_tab_width() == static_cast<int>(m_ref.tab_width));
    SV4_FUZZ_CHECK(model.generate_link_id() == m_ref.smallest_free_link());
    for (unsigned int column : columns) {
      const auto longest = m_ref.longest.find(column);
      SV4_FUZZ_CHECK(model.get_longest_text_row(column) ==
                     (longest == m_ref.longest.end() ? no_row : longest->second.first));
      const auto summary = m_ref.summary.find(column);
      SV4_FUZZ_CHECK(model.get_summary_text_data(column) ==
                     (summary == m_ref.summary.end()
                          ? std::wstring()
                          : reference_text(summary->second, column, m_ref.tab_width)));
      for (unsigned int row = 0; row < count() + 2; ++row) check_cell(model, row, column);
    }
    for (unsigned int row = 0; row < count(); ++row)
      SV4_FUZZ_CHECK(model.get_highlighted(row) == m_ref.rows[row].highlighted);
  }

  void check_cell(const data_model_t& model, unsigned int row, unsigned int column) {
    const ref_row_t* record = row < count() ? &m_ref.rows[row] : nullptr;
    const auto value = record ? record->values.find(column)
                              : std::map<unsigned int, cell_value_t>::const_iterator();
    const bool set = record != nullptr && value != record->values.end();
    const cell_value_t expected = set ? value->second : cell_value_t();
    SV4_FUZZ_CHECK(model.is_data_set(row, column) == set);
    SV4_FUZZ_CHECK(same_value(model.get_data(row, column), expected));
    SV4_FUZZ_CHECK(model.get_text_data(row, column) ==
                   reference_text(expected, column, m_ref.tab_width));
    const auto link = record ? record->links.find(column)
                             : std::map<unsigned int, unsigned int>::const_iterator();
    SV4_FUZZ_CHECK(model.get_link(row, column) ==
                   (record && link != record->links.end() ? link->second : no_link));
    const auto flags =
        record ? record->flags.find(column) : std::map<unsigned int, int>::const_iterator();
    SV4_FUZZ_CHECK(model.get_cell_flags(row, column) ==
                   (record && flags != record->flags.end() ? flags->second : 0));
  }

  FuzzedDataProvider& m_input;
  sv4_fuzz::assertion_log_t m_log;
  recorder_t m_recorder;
  data_model_t m_model;
  reference_t m_ref;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size) {
  FuzzedDataProvider input(data, size);
  data_run_t run(input);
  for (int step = 0; step < 200 && input.remaining_bytes() > 0; ++step) {
    run.step();
    run.check();
  }
  return 0;
}
