// The row engine templates as this library instantiates them, compiled whole here so that every
// operation is checked even where nothing in the library calls it yet.
#include "source_view4/hierarchical_model.h"

template class orrinfrw7::CBaseHierarchicalModel<orrinfrw7::IHierarchicalModel, void*>;
template class orrinfrw7::CHierarchicalModel<orrinfrw7::IHierarchicalModel, unsigned int,
                                             std::allocator>;
