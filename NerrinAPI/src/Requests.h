// The device requests: read and write a register, program control, flash.
#pragma once

#include <cstdint>

int32_t nrGetMem(const char *address, int32_t reg, int32_t count);
int32_t nrSetMemInt(const char *address, int32_t reg, int32_t value, int32_t count);
int32_t nrControl(int32_t command, int32_t argument, const char *address);
int32_t nrWriteBlock(int32_t flashAddress, const uint8_t *data, int32_t length,
                     const char *address);
