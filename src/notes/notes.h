#pragma once
// Note files and the export text, without widgets.
namespace quelora::notes {} // namespace quelora::notes
