// POSIX backend of the platform layer: files, standard streams, process.
// (Filled in below with the run driver's needs.)
