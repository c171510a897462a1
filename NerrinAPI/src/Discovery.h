// Reading the first discovery reply: firmware version and MAC address.
#pragma once

// Both read reply slot 0 and write over the old text without clearing it.
void nrParseVersion();
void nrParseMAC();

// 0-15 for a hex digit of either case, 0 for anything else.
int nrHexDigitValue(char c);
