#pragma once

class WorkstationHost;

// Takes the device of the selected node of the current tree out of the assembly it is built into, after the
// worker confirmed: its membership becomes history ('D0', 'D1', ...), the device keeps what is built into it,
// and the node turns back into the expected slot it was, without children. The devices above it show their
// new counts. Nothing happens for a node that stands for no device.
void RemoveSelectedComponentFromAssembly(WorkstationHost& host);
