# Ctrl+C while convert_dsf() replaces an Mplus pair is R's: the conversion runs to its end, both
# files are the new ones and no temporary file is left. strace sends SIGINT to an R of its own as
# the N-th flush to disk begins: the two files', then their folder's.

test_that("an interrupt during a conversion leaves both new files and nothing else", {
  skip_if(!nzchar(Sys.which("strace")) ||
            system2("strace", c("-o", "/dev/null", "true"), stdout = FALSE, stderr = FALSE) != 0,
          "strace can't trace here")
  folder <- withr::local_tempdir()
  demo <- sample_files(folder)$demo
  other <- write_dsf(folder, "other.dsf", dsf_bytes(c("X1", "X2"), c(1.5, 0.3, 2.25), c(11, 21),
                                                    header = "OTHER"))
  script <- file.path(folder, "convert.R")
  writeLines(sprintf("dsf2vemo::convert_dsf(%s, %s)", deparse(other),
                     deparse(file.path(folder, "demo.inp"))), script)
  before <- c(list.files(folder), "demo.dat", "demo.inp")
  for (flush in 1:4) {
    convert_dsf(demo, format = "mplus")
    system2("strace", c("-f", "-qq", "-o", "/dev/null", "-e", "trace=fsync", "-e",
                        sprintf("inject=fsync:signal=SIGINT:when=%d", flush),
                        file.path(R.home("bin"), "Rscript"), "--vanilla", shQuote(script)),
            env = paste0("R_LIBS=", paste(.libPaths(), collapse = .Platform$path.sep)),
            stdout = FALSE, stderr = FALSE)
    expect_identical(readLines(file.path(folder, "demo.inp"))[[2]], "TITLE: OTHER",
                     label = sprintf("the title after SIGINT at flush %d", flush))
    expect_identical(readLines(file.path(folder, "demo.dat")), c("11 21", "1.5", "0.3 2.25"))
    expect_setequal(list.files(folder), before)
  }
})

test_that("a conversion takes over no signal that R left to the system", {
  skip_if(!file.exists("/proc/self/status"), "no /proc/self/status to read the caught signals")
  folder <- withr::local_tempdir()
  demo <- sample_files(folder)$demo
  # In an R of its own, where no conversion ran before: the signals it catches, by the bit mask.
  script <- file.path(folder, "signals.R")
  writeLines(c("caught <- function()",
               "  grep('^SigCgt:', readLines('/proc/self/status'), value = TRUE)",
               "invisible(loadNamespace('dsf2vemo'))", "before <- caught()",
               sprintf("dsf2vemo::convert_dsf(%s, format = 'mplus')", deparse(demo)),
               "cat(before, caught(), sep = '\\n')"), script)
  said <- system2(file.path(R.home("bin"), "Rscript"), c("--vanilla", shQuote(script)),
                  env = paste0("R_LIBS=", paste(.libPaths(), collapse = .Platform$path.sep)),
                  stdout = TRUE)
  expect_length(said, 2L)
  expect_identical(said[[2]], said[[1]])
})
