// The events the device reports in its global status register.
#pragma once

constexpr int PowerActionRequestBit = 0x01;   // the device asks for the PC's power action
constexpr int PowerLossBits = 0xC0;           // the device lost power; either bit counts
constexpr int AcknowledgeValue = 225;         // written back once an event is handled

// An event that writing the register would acknowledge, and so clear.
inline bool holdsDeviceEvent(int status)
{
    return (status & (PowerActionRequestBit | PowerLossBits)) != 0;
}
