#pragma once
// Day files, diary pages, the week view and the read-outs, without widgets.
namespace quelora::records {} // namespace quelora::records
