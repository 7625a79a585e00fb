// Table definitions: the definition pages, the columns and the owned-pages map.
#pragma once

#include <memory>

#include "jet/internal/jetfile.h"

namespace jet {

struct TableDefFormat {
    bool calculatedColumns = false;  // ACE 14 and later mark calculated columns
};

// The definition starting on `page`; throws ReadFailure when it is damaged.
std::shared_ptr<TableDef> readTableDef(const PageFile& pages, const TextCodec& text, quint32 page,
                                       const QString& name, TableDefFormat format);

}  // namespace jet
