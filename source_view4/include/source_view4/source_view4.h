// The umbrella header: every public header of the component.
#pragma once

#include "source_view4/bar_painter.h"
#include "source_view4/base_painter.h"
#include "source_view4/cell_value.h"
#include "source_view4/data_model.h"
#include "source_view4/export.h"
#include "source_view4/grid_element.h"
#include "source_view4/group_painter.h"
#include "source_view4/header_model.h"
#include "source_view4/hierarchical_data_model.h"
#include "source_view4/hierarchical_model.h"
#include "source_view4/label_painter.h"
#include "source_view4/range_painter.h"
#include "source_view4/source_view_grid.h"
#include "source_view4/summary_text_painter.h"
#include "source_view4/text_painter.h"
