#include "host/ClSaveTaxShiryo.h"

#include "host/Host.h"

HOST_OBJECT_DEFINITION(ClSaveTaxShiryo, ClSaveBase, NewSaveTaxShiryo)

ClSaveBase::~ClSaveBase() { delete impl_; }
