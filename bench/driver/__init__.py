"""Tessaro's benchmarks against the web engine's floor; run through bench/run.sh."""
