// The flat data model: the read interface data_model_base_t and the concrete data_model_t that
// stores cell values, links, cell flags, highlighted rows, summary values and source lines.
#pragma once

#include <cstddef>
#include <cstdint>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "source_view4/cell_value.h"
#include "source_view4/export.h"
#include "utilkit2/signal.h"

namespace source_view4 {

namespace cell_store {
struct store_t;
}

// Reserved model column ids and answers.
constexpr unsigned int source_column = 0xFFFFFFFE;       // the source text of each row
constexpr unsigned int snippet_column = 0xFFFFFFFD;      // the snippet of each row
constexpr unsigned int found_items_column = 0xFFFFFFFC;  // the found-text matches of each row
constexpr unsigned int all_columns = 0xFFFFFFFF;         // data_updated: every column of the row
constexpr unsigned int all_rows = 0xFFFFFFFF;            // data_updated: every row of the column
constexpr unsigned int no_link = 0xFFFFFFFF;             // link id of a cell without a link
constexpr unsigned int no_row = 0xFFFFFFFF;              // get_longest_text_row: none recorded

// What grids, painters, hierarchical models and the navigation region read. Rows are flat rows
// (0 … get_row_count() − 1); columns are model column ids. Held through smart_pointer_t.
class SOURCE_VIEW4_EXPORT data_model_base_t {
 public:
  virtual ~data_model_base_t();

  virtual unsigned int get_row_count() const = 0;
  virtual cell_value_t get_data(unsigned int row, unsigned int column) const = 0;
  virtual bool is_data_set(unsigned int row, unsigned int column) const = 0;
  virtual std::wstring get_text_data(unsigned int row, unsigned int column) const;
  virtual unsigned int get_longest_text_row(unsigned int column) const = 0;
  virtual std::wstring get_summary_text_data(unsigned int column) const;
  virtual bool get_highlighted(unsigned int row) const = 0;
  virtual unsigned int get_link(unsigned int row, unsigned int column) const;
  virtual int get_cell_flags(unsigned int row, unsigned int column) const = 0;

  utilkit2::signal_t<> model_updated;                           // the whole model changed
  utilkit2::signal_t<unsigned int, unsigned int> data_updated;  // (column, row) changed
  utilkit2::signal_t<> summary_updated;                         // summary values changed
};

// The concrete model. It owns everything by value and announces each change through the three
// signals, unless a batch (begin_update … end_update) is open; end_update always emits
// model_updated. Writes to rows at or past the row count are ignored; reads there answer
// defaults. Used from one thread.
//
// Cells are kept by column: per model column a plain array of the alternative the column holds
// (texts packed in shared buffers), bitmaps of the cells written, and the values of other
// alternatives aside; links, flag words and highlighted rows cost nothing for cells without them.
// A column's arrays reach as far as its last row written, with room for the row count reserved
// when the column is first written. A value read back is always equal to the value written.
class SOURCE_VIEW4_EXPORT data_model_t : public data_model_base_t {
 public:
  data_model_t();
  data_model_t(const data_model_t& other);
  data_model_t& operator=(const data_model_t& other);
  ~data_model_t() override;

  unsigned int get_row_count() const override;
  cell_value_t get_data(unsigned int row, unsigned int column) const override;
  bool is_data_set(unsigned int row, unsigned int column) const override;
  std::wstring get_text_data(unsigned int row, unsigned int column) const override;
  unsigned int get_longest_text_row(unsigned int column) const override;
  std::wstring get_summary_text_data(unsigned int column) const override;
  // False, and set_highlighted does nothing, for a row at or past the row count.
  bool get_highlighted(unsigned int row) const override;
  unsigned int get_link(unsigned int row, unsigned int column) const override;
  int get_cell_flags(unsigned int row, unsigned int column) const override;

  virtual void set_row_count(unsigned int count);
  virtual void begin_update();
  virtual void end_update();
  virtual bool is_updating() const;
  virtual void set_data(unsigned int row, unsigned int column, const cell_value_t& value);
  virtual void set_summary_data(unsigned int column, const cell_value_t& value);
  virtual void set_source(unsigned int row, const std::wstring& text);
  virtual void clear();
  virtual void clear_columns(const std::vector<unsigned int>& columns);
  virtual void set_highlighted(unsigned int row, bool value);
  virtual int get_source_tab_width() const;
  virtual void set_source_tab_width(unsigned int width);
  // Stores a link id for the cell (no_link: the smallest id not in use) and answers it; no_link
  // when the row is out of range. A link cannot be removed.
  virtual unsigned int set_link(unsigned int row, unsigned int column, unsigned int id);
  // Replaces the cell's flag word; 0 is ignored, so a word once set never returns to 0.
  virtual void set_cell_flags(unsigned int row, unsigned int column, int flags);

  // The smallest link id that no cell of the model uses (0 in an empty model).
  unsigned int generate_link_id() const;

  // Fills a column at once: values[i] goes to flat row first_row + i of model column `column`,
  // for i below count, with the same result as set_data row by row (rows at or past the row
  // count are skipped, the longest-text record is kept). The write is announced once, as the end
  // of a batch is: one model_updated, none while a batch is open. A derived model's set_data is
  // called for each value.
  void set_column_data(unsigned int column, unsigned int first_row, const int* values,
                       std::size_t count);
  void set_column_data(unsigned int column, unsigned int first_row, const unsigned int* values,
                       std::size_t count);
  void set_column_data(unsigned int column, unsigned int first_row,
                       const data_container_t<std::uint64_t>* values, std::size_t count);
  void set_column_data(unsigned int column, unsigned int first_row,
                       const data_container_t<double>* values, std::size_t count);
  void set_column_data(unsigned int column, unsigned int first_row, const std::wstring* values,
                       std::size_t count);
  void set_column_data(unsigned int column, unsigned int first_row, const cell_value_t* values,
                       std::size_t count);

 protected:
  struct longest_text_t {
    unsigned int row = 0;
    unsigned int length = 0;  // characters of the formatted text
  };

  // The text form of a value of model column `column`: tabs of the source and snippet columns
  // become source_tab_width spaces.
  virtual std::wstring format_data(const cell_value_t& value, unsigned int column) const;

  void notify_model_updated();
  void notify_data_updated(unsigned int column, unsigned int row);
  void notify_summary_updated();

  std::map<unsigned int, cell_value_t> summary;  // summary value per column id
  bool updating = false;
  std::map<unsigned int, longest_text_t> longest_text;
  unsigned int source_tab_width = 4;

 private:
  // True when this object is a data_model_t itself and not a derived model: then no virtual
  // operation is overridden, and reads and writes may go straight to the stored cells and give
  // the answers the virtual calls would.
  bool SOURCE_VIEW4_LOCAL is_plain_model() const;
  bool SOURCE_VIEW4_LOCAL row_in_range(unsigned int row) const;
  std::size_t SOURCE_VIEW4_LOCAL measured_length(unsigned int row, unsigned int column,
                                                 const cell_value_t& value) const;
  void SOURCE_VIEW4_LOCAL record_length(unsigned int row, unsigned int column, std::size_t length);
  template <class T>
  void SOURCE_VIEW4_LOCAL fill_column(unsigned int column, unsigned int first_row, const T* values,
                                      std::size_t count);

  std::unique_ptr<cell_store::store_t> m_store;  // never null
};

}  // namespace source_view4
