// The flat data model: the read interface data_model_base_t and the concrete data_model_t that
// stores cell values, links, cell flags, highlighted rows, summary values and source lines.
#pragma once

#include <map>
#include <string>
#include <vector>

#include "source_view4/cell_value.h"
#include "source_view4/export.h"
#include "utilkit2/signal.h"

namespace source_view4 {

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

 protected:
  struct row_record_t {
    std::map<unsigned int, cell_value_t> values;  // cells written, by column id
    bool highlighted = false;
    std::map<unsigned int, unsigned int> links;  // link id per column id
    std::map<unsigned int, int> cell_flags;      // flag word per column id
  };

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

  std::vector<row_record_t> rows;
  row_record_t summary;
  bool updating = false;
  std::map<unsigned int, longest_text_t> longest_text;
  unsigned int source_tab_width = 4;

 private:
  // Link ids in use, with the number of cells using each, and the runs of consecutive ids in
  // use, so that the smallest free id is found without scanning the rows. Hidden: a nested class
  // would otherwise share the exported visibility of data_model_t.
  class SOURCE_VIEW4_LOCAL link_ids_t {
   public:
    void add(unsigned int id);
    void remove(unsigned int id);
    void clear();
    unsigned int smallest_free() const;

   private:
    std::map<unsigned int, unsigned int> m_uses;  // id -> cells using it
    std::map<unsigned int, unsigned int> m_runs;  // first id of a run -> last id of the run
  };

  bool row_in_range(unsigned int row) const { return row < rows.size(); }
  void forget_links(const row_record_t& record);

  link_ids_t m_link_ids;
};

}  // namespace source_view4
