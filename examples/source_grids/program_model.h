// The data the three grids show: a small word-counting C program with its run counts, repeated
// to the rows asked for, and the cells of every kind that go with each line.
#pragma once

#include <string>

#include "orrin7/system.h"
#include "source_view4/data_model.h"

namespace source_grids {

struct options_t;
struct landmarks_t;

// One line of the program and what a run over three files made of it.
struct program_line_t {
  const wchar_t* text;
  int count;            // times run; -1 for a line without code
  const wchar_t* call;  // the function the line calls, or null
  bool own_call;        // the called function is the program's own: the call is a link
};

unsigned int program_line_count();
const program_line_t& program_line(unsigned int index);
landmarks_t program_landmarks();

// Fills every cell, the summary values, the highlighted row and the found items of `model`
// (emptied first) inside one batch, whose end announces the whole model.
void fill_program_model(source_view4::data_model_t& model, const options_t& options);

// A source-like line of 20 to 80 characters: tabs for its indentation, then words of code.
std::wstring generated_line(unsigned int row);

// The images of the icon and label columns: a red circle, a green square, a blue triangle.
orrin7::orrin_ptr<orrin7::IImageList> make_icons();

}  // namespace source_grids
