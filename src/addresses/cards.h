#pragma once
// Card files and groups of the address book, without widgets.
namespace quelora::addresses {} // namespace quelora::addresses
