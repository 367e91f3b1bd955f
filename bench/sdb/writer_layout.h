// Schema documents in the exporter's layout, generated for measurements.
#ifndef SKELVANE_BENCH_SDB_WRITER_LAYOUT_H
#define SKELVANE_BENCH_SDB_WRITER_LAYOUT_H

#include <string>

namespace skelvane::bench {

// The ten sections of a schema, the tables section holding tableCount tables of
// 20 columns, 3 indexes and 3 constraints each; every line ends with CR LF.
std::string WriterLayoutDocument(int tableCount);

}  // namespace skelvane::bench

#endif
