#include "engine/cards/CardWriter.h"

CardWriter::~CardWriter() = default;
