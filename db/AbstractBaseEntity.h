#pragma once

namespace Pelu::DB {

// Common base of the row records. Records are plain values in their table's
// column order; they carry no behaviour and belong to whoever holds them.
class AbstractBaseEntity {
 public:
  virtual ~AbstractBaseEntity() = default;
};

}  // namespace Pelu::DB
