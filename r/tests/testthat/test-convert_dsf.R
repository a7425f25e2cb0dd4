# convert_dsf() writes what dsf2vemo-cli writes, under the same names, and fails as it fails.

demo_text <- function(list, decimal) {
  text <- c("rowtype_,varname_,X1,X2", "n,,150,150", "cov,X1,1.5", "cov,X2,0.3,2.25",
            "mean,,10,20.5")
  paste0(chartr(".,", paste0(decimal, list), text), "\r\n", collapse = "")
}
text_of <- function(path) readChar(path, file.size(path), useBytes = TRUE)
bytes_of <- function(path) readBin(path, raw(), file.size(path))

formats <- list(  # name, convert_dsf()'s arguments, dsf2vemo-cli's
  list("vemo ,.", list(list_separator = ",", decimal_separator = "."),
       c("--list-separator", ",", "--decimal-separator", ".")),
  list("vemo ;,", list(list_separator = ";", decimal_separator = ","),
       c("--list-separator", ";", "--decimal-separator", ",")),
  list("json", list(format = "json"), c("--format", "json")),
  list("mplus", list(format = "mplus"), c("--format", "mplus"))
)
for (file in c("demo", "nul_padding", "high_bit_names", "correlations", "exact_values")) {
  for (format in formats) {
    test_that(paste("convert_dsf() writes", file, "as", format[[1]], "as dsf2vemo-cli does"), {
      skip_without_cli()
      ours <- withr::local_tempdir()
      theirs <- withr::local_tempdir()
      input <- sample_files(ours)[[file]]
      sample_files(theirs)
      warned <- capture_warnings(
        written <- tryCatch(do.call(convert_dsf, c(input, format[[2]])), dsf2vemo_error = identity))
      cli <- run_cli(c(format[[3]], file.path(theirs, basename(input))))
      same <- function(ours_said, theirs_said) {
        expect_identical(gsub(ours, "", ours_said, fixed = TRUE),
                         gsub(theirs, "", theirs_said, fixed = TRUE))
      }
      if (inherits(written, "dsf2vemo_error")) {
        same(conditionMessage(written), cli$error)  # no words for NaN in JSON and Mplus
      } else {
        for (path in written) expect_identical(bytes_of(path), bytes_of(sub(ours, theirs, path)))
        same(warned, cli$warnings)
      }
      expect_identical(cli$status, if (inherits(written, "error")) 1L else 0L)
      expect_identical(sort(list.files(ours)), sort(list.files(theirs)))
    })
  }
}

test_that("the output's name and the format decide what is written, as on the command line", {
  cases <- list(  # output, format (NULL left out, NA given as NULL), the files, how one begins
    list(NULL, NULL, "study.txt", "rowtype_"), list(NULL, "json", "study.json", "{"),
    list(NULL, "mplus", c("study.inp", "study.dat"), "! Written"),
    list("out.json", NULL, "out.json", "{"), list("out.json", NA, "out.json", "{"),
    list("out.json", "vemo", "out.json", "rowtype_"))
  for (case in cases) {
    folder <- withr::local_tempdir()
    input <- file.path(folder, "study.dsf")
    file.copy(system.file("extdata", "demo.dsf", package = "dsf2vemo"), input)
    args <- list(input, if (!is.null(case[[1]])) file.path(folder, case[[1]]),
                 list_separator = ",", decimal_separator = ".")
    format <- if (is.null(case[[2]])) list() else list(format = if (!is.na(case[[2]])) case[[2]])
    written <- do.call(convert_dsf, c(args, format))
    expect_identical(written, file.path(folder, case[[3]]))
    expect_true(startsWith(text_of(written[[1]]), case[[4]]))
  }
})

test_that("the separators are the options', or the locale's as the command line takes them", {
  input <- sample_files(withr::local_tempdir())$demo
  expect_identical(text_of(convert_dsf(input, list_separator = ";", decimal_separator = ",")),
                   demo_text(";", ","))
  skip_if(!nzchar(Sys.getenv("DSF2VEMO_TEST_LOCALES")), "no test locales")
  for (case in list(c("de_DE.UTF-8", ";", ","), c("C", ",", "."))) {
    withr::local_envvar(LOCPATH = Sys.getenv("DSF2VEMO_TEST_LOCALES"), LC_ALL = case[[1]])
    expect_identical(text_of(convert_dsf(input)), demo_text(case[[2]], case[[3]]))
    if (nzchar(cli_path())) {
      expect_identical(run_cli(input)$status, 0L)
      expect_identical(text_of(sub("dsf$", "txt", input)), demo_text(case[[2]], case[[3]]))
    }
  }
  # The option's "," beside the locale's decimal comma: fields that would read back wrongly.
  withr::local_envvar(LC_ALL = "de_DE.UTF-8")
  error <- tryCatch(convert_dsf(input, list_separator = ","), dsf2vemo_error = identity)
  expect_match(conditionMessage(error), "cannot write '", fixed = TRUE)
  if (nzchar(cli_path())) {
    expect_identical(conditionMessage(error), run_cli(c("--list-separator", ",", input))$error)
  }
})

test_that("an input failing stops none of the others, and the error names each that failed", {
  folder <- withr::local_tempdir()
  files <- sample_files(folder)
  broken <- write_dsf(folder, "broken.dsf", raw(10))
  missing <- file.path(folder, "missing.dsf")
  error <- tryCatch(convert_dsf(c(files$demo, broken, files$correlations, missing), quiet = TRUE),
                    dsf2vemo_error = identity)
  expect_identical(error$input, c(broken, missing))
  expect_identical(error$written, file.path(folder, c("demo.txt", "correlations.txt")))
  expect_true(all(file.exists(error$written)))
  expect_identical(startsWith(strsplit(conditionMessage(error), "\n")[[1]],
                              paste0("cannot read '", c(broken, missing), "': ")), c(TRUE, TRUE))
  expect_invisible(convert_dsf(files$demo, quiet = TRUE))
})

test_that("warnings name the input; quiet = TRUE leaves them out; arguments are checked first", {
  files <- sample_files(withr::local_tempdir())
  expect_error(convert_dsf(files$demo, files$demo), "it is the input file itself",
               class = "dsf2vemo_error")
  renamed <- capture_warnings(convert_dsf(files$high_bit_names, format = "mplus"))
  expect_match(renamed, paste0("^", files$high_bit_names, ": "))
  expect_match(renamed, "renamed for Mplus", fixed = TRUE, all = FALSE)
  expect_warning(convert_dsf(files$correlations), class = "dsf2vemo_warning")
  expect_silent(convert_dsf(files$correlations, quiet = TRUE))
  refused <- list(  # the arguments, the start of the message
    list(list(character()), "`input` must name one or more files"),
    list(list(c(files$demo, NA)), "`input` must name"), list(list(""), "`input` must name"),
    list(list(c(files$demo, files$demo), "one.txt"), "`output` must .* each of the 2 inputs"),
    list(list(files$demo, ""), "`output` must be NULL or name one file"),
    list(list(files$demo, NA_character_), "`output` must"),
    list(list(files$demo, format = "JSON"), "'arg' should be one of"),
    list(list(files$demo, list_separator = c(",", ";")), "`list_separator` must"),
    list(list(files$demo, decimal_separator = NA_character_), "`decimal_separator` must"),
    list(list(files$demo, quiet = NA), "`quiet` must be TRUE or FALSE"))
  before <- list.files(dirname(files$demo))
  for (row in refused) expect_error(do.call(convert_dsf, row[[1]]), row[[2]])
  expect_identical(list.files(dirname(files$demo)), before)
})
