// A module for the tests of load_program_module. It is built twice: once whole,
// and once needing a function that nothing defines, which must keep it from
// loading (on Windows, where a DLL links only when every name is found, it
// imports the function from the whole module, which does not export it).

extern "C" int quillet_test_module_answer() { return 42; }

#ifdef QUILLET_TEST_MODULE_UNRESOLVED
extern "C" int quillet_test_defined_nowhere();
extern "C" int quillet_test_module_asks_elsewhere() { return quillet_test_defined_nowhere(); }
#endif
